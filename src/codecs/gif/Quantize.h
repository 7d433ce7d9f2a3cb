#pragma once
// Pictures to palette indices for GIF output, in three parts: pictures of at most 256
// colours keep exactly their colours (ExactPalette.h); others get a palette chosen by
// libimagequant (PaletteChoice.h) and are remapped with error diffusion (Remap.h).

#include "codecs/Cancel.h"
#include "codecs/gif/ExactPalette.h"
#include "codecs/gif/Palette.h"

namespace quarbel::codecs::quantize {

// Writes one index per pixel of picture to out and returns the palette. Throws Cancelled
// once cancel is cancelled.
Palette toIndices(const PixelView& picture, bool transparentEntry, std::uint8_t* out,
                  const CancelToken* cancel = nullptr);

}  // namespace quarbel::codecs::quantize
