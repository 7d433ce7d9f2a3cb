// Hatch and pattern brushes, aligned to the surface origin.

#include "PixelGrid.h"
#include "gfx/Brush.h"
#include "gfx/Surface.h"

#include <gtest/gtest.h>

namespace quarbel::gfx {
namespace {

using testing::matches;
using testing::Palette;

constexpr Color Line = 0x0000FF;
constexpr Color Back = 0x00FF00;
constexpr Color White = 0xFFFFFF;
const Palette P{{'#', Line}, {'-', Back}, {'.', White}};

struct HatchCase {
    int style;
    // The 8x8 cell: which pixels are lines.
    bool (*isLine)(int x, int y);
};

class HatchTest : public ::testing::TestWithParam<HatchCase> {};

TEST_P(HatchTest, EveryPixelOfTheCellFollowsThePattern)
{
    const HatchCase& c = GetParam();
    const auto brush = Brush::hatch(c.style, Line, Back);
    ASSERT_TRUE(brush);
    Surface s(16, 16);
    s.fillRect({0, 0, 16, 16}, *brush);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(s.pixel(x, y), c.isLine(x % 8, y % 8) ? Line : Back)
                << "style " << c.style << " at " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(SixPatterns, HatchTest,
                         ::testing::Values(HatchCase{0, [](int, int y) { return y == 3; }},
                                           HatchCase{1, [](int x, int) { return x == 4; }},
                                           HatchCase{2, [](int x, int y) { return x == y; }},
                                           HatchCase{3, [](int x, int y) { return x + y == 7; }},
                                           HatchCase{4, [](int x, int y) { return x == 4 || y == 3; }},
                                           HatchCase{5, [](int x, int y) { return x == y || x + y == 7; }}));

TEST(BrushTest, HatchIsAlignedToTheSurfaceNotToTheRectangle)
{
    Surface s(10, 6);
    s.fillRect({2, 1, 9, 5}, *Brush::hatch(4, Line, Back));
    // Column 4 and row 3 of the surface carry the lines, wherever the rectangle starts.
    EXPECT_TRUE(
        matches(s, {"..........", "..--#----.", "..--#----.", "..#######.", "..--#----.", ".........."}, P));
}

TEST(BrushTest, TransparentHatchLeavesTheSpaces)
{
    Surface s(8, 4);
    s.fillRect({0, 0, 8, 4}, Brush::hatch(HatchStyle::Horizontal, Line, Back, BackgroundMode::Transparent));
    EXPECT_TRUE(matches(s, {"........", "........", "........", "########"}, P));
}

TEST(BrushTest, UnknownHatchNumbersMakeNoBrush)
{
    EXPECT_FALSE(Brush::hatch(6, Line, Back));
    EXPECT_FALSE(Brush::hatch(-1, Line, Back));
}

TEST(BrushTest, PatternTilesThePictureFromTheSurfaceOrigin)
{
    QImage picture(2, 3, QImage::Format_RGB32);
    picture.fill(qRgb(0, 255, 0));            // Back
    picture.setPixel(1, 0, qRgb(255, 0, 0));  // Line at (1, 0) of every tile
    Surface s(6, 7);
    s.fillRect({1, 1, 6, 7}, Brush::pattern(picture));
    EXPECT_TRUE(matches(s, {"......", ".-----", ".-----", ".#-#-#", ".-----", ".-----", ".#-#-#"}, P));
}

TEST(BrushTest, SolidBrushFillsLikeAColour)
{
    Surface a(3, 3), b(3, 3);
    a.fillRect({0, 1, 2, 3}, Brush::solid(Line));
    b.fillRect({0, 1, 2, 3}, Line);
    EXPECT_EQ(a.image(), b.image());
}

}  // namespace
}  // namespace quarbel::gfx
