#pragma once
// AVIF and HEIC output through libvips' own saver (libheif): lossy at the quality given,
// alpha kept. The encoder's speed setting was chosen by measurement on bench/run's corpus
// (see WebpHeif.cpp). WebP output is in Webp.h.

#include <vips/vips8>

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

enum class HeifCodec { Av1, Hevc };

// The picture: one frame, 8-bit sRGB or grey, alpha allowed.
std::vector<std::uint8_t> encodeHeif(vips::VImage image, int quality, HeifCodec codec);

}  // namespace quarbel::imageservice
