#pragma once
// HEIC output through libvips' own saver (libheif with x265): lossy at the quality given,
// alpha kept. WebP output is in Webp.h, AVIF output in Avif.h.

#include <vips/vips8>

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

// HEVC in a HEIF file. The picture: one frame, 8-bit sRGB or grey, alpha allowed.
std::vector<std::uint8_t> encodeHeif(vips::VImage image, int quality);

}  // namespace quarbel::imageservice
