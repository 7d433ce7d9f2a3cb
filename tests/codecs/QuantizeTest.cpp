// The three parts of palette making on their own: exact palettes up to their limit, a chosen
// palette that holds a picture's few clusters, and remapping that keeps palette colours.

#include "codecs/gif/ExactPalette.h"
#include "codecs/gif/PaletteChoice.h"
#include "codecs/gif/Remap.h"

#include <gtest/gtest.h>

namespace quarbel::codecs::quantize {
namespace {

using Bytes = std::vector<std::uint8_t>;

// RGB pixels of `colours` distinct greys-by-index colours, each pixel its own colour in turn.
Bytes distinctColours(int colours)
{
    Bytes rgb;
    for (int i = 0; i < colours; ++i)
        rgb.insert(rgb.end(), {std::uint8_t(i), std::uint8_t(i >> 8), 7});
    return rgb;
}

TEST(ExactPalette, KeepsUpToItsLimitAndRefusesOneMore)
{
    for (const bool transparent : {false, true}) {
        const int limit = transparent ? 255 : 256;
        Bytes fits = distinctColours(limit), tooMany = distinctColours(limit + 1);
        Bytes indices(tooMany.size() / 3);
        Palette palette;
        const PixelView fitting = tightView(fits.data(), limit, 1, 3);
        ASSERT_TRUE(toIndicesExactly(std::span(&fitting, 1), transparent, indices.data(), palette));
        EXPECT_EQ(palette.size(), 256);
        for (int i = 0; i < limit; ++i)
            EXPECT_EQ(palette.colours[std::size_t(indices[std::size_t(i)] - palette.first())][0],
                      std::uint8_t(i));
        const PixelView over = tightView(tooMany.data(), limit + 1, 1, 3);
        EXPECT_FALSE(toIndicesExactly(std::span(&over, 1), transparent, indices.data(), palette));
    }
}

TEST(PaletteChoiceAndRemap, FewClustersComeBackAsTheirOwnColours)
{
    // Four flat areas with slight noise: a palette of 4 colours holds them, and remapping
    // the areas' exact colours to the chosen palette gives each area one index.
    const std::uint8_t centres[4][3] = {{200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {240, 240, 240}};
    const int width = 64, height = 64;
    Bytes noisy, flat;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto* c = centres[(y / 32) * 2 + x / 32];
            for (int k = 0; k < 3; ++k) {
                noisy.push_back(std::uint8_t(c[k] + ((x * 7 + y * 3 + k) % 5) - 2));
                flat.push_back(c[k]);
            }
        }
    Palette palette;
    palette.colours = choosePalette(tightView(noisy.data(), width, height, 3), 4);
    ASSERT_EQ(palette.colours.size(), 4u);
    Bytes indices(std::size_t(width) * height);
    remap(tightView(flat.data(), width, height, 3), palette, indices.data());
    for (int area = 0; area < 4; ++area) {
        const int x0 = (area % 2) * 32, y0 = (area / 2) * 32;
        const std::uint8_t index = indices[std::size_t(y0) * width + std::size_t(x0)];
        const Rgb& chosen = palette.colours[index];
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(chosen[std::size_t(k)], centres[area][k], 3) << "area " << area;
        for (int y = y0; y < y0 + 32; ++y)
            for (int x = x0; x < x0 + 32; ++x)
                ASSERT_EQ(indices[std::size_t(y) * width + std::size_t(x)], index) << "area " << area;
    }
}

}  // namespace
}  // namespace quarbel::codecs::quantize
