#include "codecs/gif/Quantize.h"

#include "codecs/gif/PaletteChoice.h"
#include "codecs/gif/Remap.h"

namespace quarbel::codecs::quantize {

Palette toIndices(const PixelView& picture, bool transparentEntry, std::uint8_t* out,
                  const CancelToken* cancel)
{
    Palette palette;
    if (toIndicesExactly(std::span(&picture, 1), transparentEntry, out, palette))
        return palette;
    palette.transparent = transparentEntry;
    checkCancel(cancel);
    palette.colours = choosePalette(picture, 256 - palette.first());
    if (palette.colours.empty())
        palette.colours.push_back({0, 0, 0});
    remap(picture, palette, out, cancel);
    return palette;
}

}  // namespace quarbel::codecs::quantize
