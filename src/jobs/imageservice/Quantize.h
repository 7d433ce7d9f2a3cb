#pragma once
// Pictures to palette indices for GIF output. Pictures of at most 256 colours keep exactly
// their colours; others get a palette chosen by libimagequant from a sample of the pixels
// and are remapped with Floyd-Steinberg error diffusion.
//
// GIF transparency is one bit: pixels with alpha below kOpaqueFrom take the transparent
// entry, the others are taken as opaque in their own colour.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quarbel::imageservice::quantize {

constexpr int kOpaqueFrom = 128;

// 8-bit pixels with their rows one after another: 1 band (grey), 2 (grey, alpha), 3 (RGB)
// or 4 (RGBA).
struct PixelRect {
    const std::uint8_t* data;
    int width, height, bands;

    std::size_t pixels() const { return std::size_t(width) * std::size_t(height); }
    bool hasAlpha() const { return bands == 2 || bands == 4; }
};

using Rgb = std::array<std::uint8_t, 3>;

// With a transparent entry, that entry is index 0 and the colours follow it.
struct Palette {
    bool transparent = false;
    std::vector<Rgb> colours;  // the opaque colours

    int size() const { return int(colours.size()) + first(); }
    int first() const { return transparent ? 1 : 0; }  // index of colours[0]
};

bool hasTransparentPixel(const PixelRect& rect);

// Writes one index per pixel of rect to out and returns the palette. With transparentEntry
// the palette has a transparent entry (which a picture with transparent pixels needs); it
// may go unused.
Palette toIndices(const PixelRect& rect, bool transparentEntry, std::uint8_t* out);

// The same for frames that are to share one palette, when all of them together hold few
// enough colours to keep them exactly; false (and out partly written) otherwise. out holds
// the frames' indices one after another.
bool toIndicesExactly(std::span<const PixelRect> frames, bool transparentEntry, std::uint8_t* out, Palette& palette);

}  // namespace quarbel::imageservice::quantize
