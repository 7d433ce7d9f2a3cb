#pragma once
// Pixels to the indices of a given palette, with Floyd-Steinberg error diffusion.
//
// Measured against libimagequant 2.17's liq_write_remapped_image at the same palette (given
// as fixed colours), bench/codec_compare remap on 39 files of the bench corpus, one thread, on
// a loaded 2-core machine: 150.8 s, 232,592,365 bytes of GIF and 49.26 dB (bench/image_quality)
// here; 748.1 s, 230,582,409 bytes and 51.84 dB through libimagequant. Its remap looks closer
// but takes five times as long, which would make every GIF conversion several times slower,
// so ours stays.

#include "codecs/Cancel.h"
#include "codecs/gif/Palette.h"

namespace quarbel::codecs::quantize {

// Writes one index per pixel of picture to out; transparent pixels get entry 0. Throws
// Cancelled once cancel is cancelled (looked at between rows).
void remap(const PixelView& picture, const Palette& palette, std::uint8_t* out,
           const CancelToken* cancel = nullptr);

}  // namespace quarbel::codecs::quantize
