#pragma once
// Choosing a palette for a picture of more colours than a palette holds: libimagequant works
// on a sample of the pixels (on photographs a palette chosen from about 128 thousand pixels
// is as good as one chosen from all of them, at a fraction of the time).

#include "codecs/gif/Palette.h"

namespace quarbel::codecs::quantize {

// Up to maxColours opaque colours for the picture; none when it has no opaque pixel. Throws
// Failure when libimagequant fails.
std::vector<Rgb> choosePalette(const PixelView& picture, int maxColours);

}  // namespace quarbel::codecs::quantize
