#pragma once
// Pixels to the indices of a given palette, with Floyd-Steinberg error diffusion.

#include "codecs/gif/Palette.h"

namespace quarbel::codecs::quantize {

// Writes one index per pixel of picture to out; transparent pixels get entry 0.
void remap(const PixelView& picture, const Palette& palette, std::uint8_t* out);

}  // namespace quarbel::codecs::quantize
