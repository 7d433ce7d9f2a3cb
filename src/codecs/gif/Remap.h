#pragma once
// Pixels to the indices of a given palette, with Floyd-Steinberg error diffusion.

#include "codecs/Cancel.h"
#include "codecs/gif/Palette.h"

namespace quarbel::codecs::quantize {

// Writes one index per pixel of picture to out; transparent pixels get entry 0. Throws
// Cancelled once cancel is cancelled (looked at between rows).
void remap(const PixelView& picture, const Palette& palette, std::uint8_t* out, const CancelToken* cancel = nullptr);

}  // namespace quarbel::codecs::quantize
