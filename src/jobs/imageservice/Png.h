#pragma once
// PNG output. Pictures up to a few tens of megapixels are written here with libdeflate, which
// compresses about twice as fast as zlib and a few percent smaller at the same level; the
// rows get libpng's adaptive filter choice. Lossless reductions come first: grey pictures
// are written as grey, pictures of at most 256 colours with a palette, an opaque alpha band
// is left out. Larger pictures stream through libvips' own PNG writer instead, which never
// holds the whole picture.

#include <vips/vips8>

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

// The picture: 8-bit, 1 to 4 bands (grey, grey+alpha, RGB, RGBA).
std::vector<std::uint8_t> encodePng(vips::VImage image);

}  // namespace quarbel::imageservice
