#pragma once
// Pixels of 1 to 4 bands as the palette code reads them: one colour key per pixel, whether it
// is transparent, and a dispatch to code compiled for each number of bands.

#include "codecs/gif/Palette.h"

#include <cstdint>
#include <type_traits>

namespace quarbel::codecs::quantize {

template <int Bands>
inline std::uint32_t keyAt(const std::uint8_t* p)
{
    if constexpr (Bands <= 2)
        return std::uint32_t(p[0]) * 0x010101u;
    else
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
}

template <int Bands>
inline bool transparentAt(const std::uint8_t* p)
{
    if constexpr (Bands == 2 || Bands == 4)
        return p[Bands - 1] < kOpaqueFrom;
    else
        return false;
}

template <typename F>
decltype(auto) withBands(int bands, F&& f)
{
    switch (bands) {
    case 1: return f(std::integral_constant<int, 1>{});
    case 2: return f(std::integral_constant<int, 2>{});
    case 3: return f(std::integral_constant<int, 3>{});
    default: return f(std::integral_constant<int, 4>{});
    }
}

inline Rgb rgbOf(std::uint32_t key)
{
    return {std::uint8_t(key), std::uint8_t(key >> 8), std::uint8_t(key >> 16)};
}

}  // namespace quarbel::codecs::quantize
