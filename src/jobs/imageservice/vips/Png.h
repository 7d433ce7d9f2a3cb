#pragma once
// PNG output from a libvips picture. Pictures up to a few tens of megapixels go through our
// own writer (codecs/png); larger ones stream through libvips' own PNG writer instead, which
// never holds the whole picture.

#include <vips/vips8>

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

// The picture: 8-bit, 1 to 4 bands (grey, grey+alpha, RGB, RGBA).
std::vector<std::uint8_t> encodePng(vips::VImage image);

}  // namespace quarbel::imageservice
