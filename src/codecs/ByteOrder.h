#pragma once
// Writing integers into file bytes in a given byte order: stores into a buffer already sized,
// and appends to a growing one.

#include <cstdint>
#include <vector>

namespace quarbel::codecs {

using Bytes = std::vector<std::uint8_t>;

inline std::uint16_t load16le(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
inline std::uint32_t load32le(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

inline void store16le(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

inline void store32le(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

inline void append16le(Bytes& out, unsigned v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

inline void append32be(Bytes& out, std::uint32_t v)
{
    for (int shift : {24, 16, 8, 0})
        out.push_back(std::uint8_t(v >> shift));
}

}  // namespace quarbel::codecs
