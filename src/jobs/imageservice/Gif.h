#pragma once
// GIF output, written here: GIF89a with the smallest colour table that holds the palette
// (see Quantize.h for how pixels become palette indices) and our own LZW code stream (see
// GifLzw.h). Frames stacked with page-height stay an animation: every frame is complete,
// with its display time and the loop count, and shares one palette when all frames together
// have few enough colours, else each frame has its own.

#include <vips/vips8>

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

// The picture: 8-bit grey or sRGB, alpha allowed, frames stacked with page-height.
// Throws vips_util::Failure or vips::VError with the reason (std::bad_alloc when memory runs
// out).
std::vector<std::uint8_t> encodeGif(vips::VImage image);

}  // namespace quarbel::imageservice
