#pragma once
// Reads the plain PNGs, whose pixels need nothing but libpng: 8 bits or fewer a sample, no
// colour profile, no EXIF, no XMP. The samples come as libvips' PNG loader gives them:
// palettes expanded to RGB, transparency (tRNS) to an alpha band, grey below 8 bits widened,
// no gamma applied. Anything else gives nothing, a warning or an error included: the caller
// then takes the general path, which reads the file its own way and names its faults.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace quarbel::codecs::png {

struct PlainPng {
    std::vector<std::uint8_t> pixels;  // rows without padding
    int width = 0, height = 0, bands = 0;
    // The pHYs chunk as stored, if there is one.
    bool hasDensity = false;
    std::uint32_t densityX = 0, densityY = 0;
    bool densityPerMetre = false;  // false: the unit is unknown (an aspect ratio only)
};

// Nothing for a file that is not a plain PNG of at most maxPixels pixels, that has a chunk
// reaching past its end (or no IEND), or that libpng finds anything wrong with.
std::optional<PlainPng> readPlainPng(const std::uint8_t* data, std::size_t size, std::uint64_t maxPixels);

}  // namespace quarbel::codecs::png
