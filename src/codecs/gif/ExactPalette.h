#pragma once
// Pictures of at most 256 colours keep exactly their colours: each pixel's index into a
// palette of the colours met, in the order met.

#include "codecs/gif/Palette.h"

#include <span>

namespace quarbel::codecs::quantize {

bool hasTransparentPixel(const PixelView& picture);

// Writes one index per pixel of the frames (one after another) to out and gives their
// shared palette, when all of them together hold few enough colours to keep them exactly;
// false (and out partly written) otherwise. Photographs stop after a few hundred pixels.
// With transparentEntry the palette has a transparent entry (which a picture with
// transparent pixels needs); it may go unused.
bool toIndicesExactly(std::span<const PixelView> frames, bool transparentEntry, std::uint8_t* out,
                      Palette& palette);

}  // namespace quarbel::codecs::quantize
