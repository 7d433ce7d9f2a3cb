#include "codecs/gif/ExactPalette.h"

#include "codecs/gif/Bands.h"

#include <array>

namespace quarbel::codecs::quantize {

namespace {

// Colours met so far and their palette positions, up to a limit. Open addressing, at most a
// quarter full.
class ColourIndex {
public:
    explicit ColourIndex(int limit) : m_limit(limit) { m_keys.fill(kEmpty); }

    // The position of the colour, added when new; -1 when it would be one too many.
    int indexOf(std::uint32_t key)
    {
        unsigned slot = (key * 0x9E3779B1u) >> (32 - kBits);
        for (;;) {
            if (m_keys[slot] == key)
                return m_index[slot];
            if (m_keys[slot] == kEmpty) {
                if (int(m_colours.size()) == m_limit)
                    return -1;
                m_keys[slot] = key;
                m_index[slot] = std::uint8_t(m_colours.size());
                m_colours.push_back(key);
                return m_index[slot];
            }
            slot = (slot + 1) & kMask;
        }
    }

    const std::vector<std::uint32_t>& colours() const { return m_colours; }

private:
    static constexpr int kBits = 10;
    static constexpr unsigned kMask = (1u << kBits) - 1;
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;  // keys have 24 bits
    std::array<std::uint32_t, 1u << kBits> m_keys;
    std::array<std::uint8_t, 1u << kBits> m_index{};
    std::vector<std::uint32_t> m_colours;
    int m_limit;
};

// Writes the indices of rect while collecting its colours; false as soon as there are too
// many (photographs stop after a few hundred pixels).
template <int Bands>
bool mapExactly(const PixelView& rect, ColourIndex& colours, int first, std::uint8_t* out)
{
    const std::uint8_t* p = rect.data;
    const std::size_t n = rect.pixels();
    std::uint32_t lastKey = 0xFFFFFFFFu;  // no colour has this key
    std::uint8_t lastIndex = 0;
    for (std::size_t i = 0; i < n; ++i, p += Bands) {
        if (transparentAt<Bands>(p)) {
            out[i] = 0;
            continue;
        }
        const std::uint32_t key = keyAt<Bands>(p);
        if (key != lastKey) {
            const int index = colours.indexOf(key);
            if (index < 0)
                return false;
            lastKey = key;
            lastIndex = std::uint8_t(index + first);
        }
        out[i] = lastIndex;
    }
    return true;
}

Palette paletteOf(const ColourIndex& colours, bool transparent)
{
    Palette palette;
    palette.transparent = transparent;
    for (std::uint32_t key : colours.colours())
        palette.colours.push_back(rgbOf(key));
    return palette;
}

}  // namespace

bool hasTransparentPixel(const PixelView& rect)
{
    if (!rect.hasAlpha())
        return false;
    const std::size_t n = rect.pixels();
    const std::uint8_t* a = rect.data + rect.bands - 1;
    for (std::size_t i = 0; i < n; ++i, a += rect.bands)
        if (*a < kOpaqueFrom)
            return true;
    return false;
}

bool toIndicesExactly(std::span<const PixelView> frames, bool transparentEntry, std::uint8_t* out,
                      Palette& palette)
{
    const int first = transparentEntry ? 1 : 0;
    ColourIndex colours(256 - first);
    for (const PixelView& rect : frames) {
        const bool fits = withBands(
            rect.bands, [&](auto b) { return mapExactly<decltype(b)::value>(rect, colours, first, out); });
        if (!fits)
            return false;
        out += rect.pixels();
    }
    palette = paletteOf(colours, transparentEntry);
    return true;
}

}  // namespace quarbel::codecs::quantize
