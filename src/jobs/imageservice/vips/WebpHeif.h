#pragma once
// WebP, AVIF and HEIC output through libvips' own savers (libwebp and libheif): lossy at the
// quality given, alpha kept. The encoders' speed settings were chosen by measurement on
// bench/run's corpus (see WebpHeif.cpp).

#include <vips/vips8>

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

// The picture: 8-bit sRGB or grey, alpha allowed. Frames stacked with page-height become an
// animation with the frames' delays and loop count.
std::vector<std::uint8_t> encodeWebp(vips::VImage image, int quality);

enum class HeifCodec { Av1, Hevc };

// The picture: one frame, 8-bit sRGB or grey, alpha allowed.
std::vector<std::uint8_t> encodeHeif(vips::VImage image, int quality, HeifCodec codec);

}  // namespace quarbel::imageservice
