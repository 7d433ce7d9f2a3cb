#pragma once
// GIF palettes. GIF transparency is one bit: pixels with alpha below kOpaqueFrom take the
// transparent entry, the others are taken as opaque in their own colour. The palette code
// reads pictures whose rows follow each other without padding (PixelView::tight).

#include "codecs/PixelView.h"

#include <array>
#include <cstdint>
#include <vector>

namespace quarbel::codecs::quantize {

constexpr int kOpaqueFrom = 128;

using Rgb = std::array<std::uint8_t, 3>;

// With a transparent entry, that entry is index 0 and the colours follow it.
struct Palette {
    bool transparent = false;
    std::vector<Rgb> colours;  // the opaque colours

    int size() const { return int(colours.size()) + first(); }
    int first() const { return transparent ? 1 : 0; }  // index of colours[0]
};

}  // namespace quarbel::codecs::quantize
