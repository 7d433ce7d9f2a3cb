// The colour functions and the gradient and frame procedures, on surfaces of a few pixels.

#include "controls/common/SystemColors.h"
#include "controls/themedbutton/ButtonColors.h"

#include <gtest/gtest.h>

namespace quarbel::themed {
namespace {

constexpr gfx::Color Bg = 0x777777;

struct ColorCase {
    const char* what;
    gfx::Color result;
    gfx::Color expected;
};

class ColorFunctionTest : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorFunctionTest, GivesTheWorkedValue)
{
    EXPECT_EQ(GetParam().result, GetParam().expected) << std::hex << GetParam().result;
}

INSTANTIATE_TEST_SUITE_P(ByHand, ColorFunctionTest,
                         ::testing::Values(
                             // Channels R 212, G 208, B 200: 32 + c * 223 \ 255 = 217, 213, 206.
                             ColorCase{"blend_face_32", BlendTowardWhite(0xC8D0D4, 32), 0xCED5D9},
                             // Highlight R 10, G 36, B 106: 176 + c * 79 \ 255 = 179, 187, 208.
                             ColorCase{"blend_highlight_176", BlendTowardWhite(0x6A240A, 176), 0xD0BBB3},
                             ColorCase{"blend_white_stays_white", BlendTowardWhite(0xFFFFFF, 128), 0xFFFFFF},
                             ColorCase{"blend_capped", BlendTowardWhite(0x000000, 300), 0xFFFFFF},
                             // R 250 + 10 clamps at 255, B 5 - 10 at 0.
                             ColorCase{"offset_up_clamped", OffsetColor(0x0580FA, 10), 0x0F8AFF},
                             ColorCase{"offset_down_clamped", OffsetColor(0x0580FA, -10), 0x0076F0},
                             ColorCase{"offset_far_down", OffsetColor(0xC8D0D4, -300), 0x000000},
                             // (1 + 2) / 2 = 1.5 -> 2, (2 + 3) / 2 = 2.5 -> 2, (3 + 4) / 2 = 3.5 -> 4.
                             ColorCase{"average_halves_to_even", AverageColor(0x030201, 0x040302), 0x040202}),
                         [](const auto& info) { return std::string(info.param.what); });

class GradientTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SystemColors::use(SystemColors::classicTable()); }
    static void TearDownTestSuite() { SystemColors::reset(); }
};

TEST_F(GradientTest, TranslateResolvesSystemColoursAndRefusesTheRest)
{
    EXPECT_EQ(TranslateColor(0x123456), 0x123456u);
    EXPECT_EQ(TranslateColor(0x8000000F), 0xC8D0D4u);
    EXPECT_EQ(TranslateColor(0x80000063), gfx::InvalidColor);
    EXPECT_EQ(TranslateColor(0x01000005), gfx::InvalidColor);
}

TEST_F(GradientTest, VerticalDrawsNPlusOneLinesWithoutTheirEndColumn)
{
    gfx::Surface s(4, 5, Bg);
    // R 0 -> 5 and G 0 -> 255 over n = 2: the middle line is 2.5 -> 2 and 127.5 -> 128.
    VerticalGradient(s, 0x000000, 0x00FF05, 1, 0, 3, 2);
    for (int x : {1, 2}) {
        EXPECT_EQ(s.pixel(x, 0), 0x000000u);
        EXPECT_EQ(s.pixel(x, 1), 0x008002u);
        EXPECT_EQ(s.pixel(x, 2), 0x00FF05u);
        EXPECT_EQ(s.pixel(x, 3), Bg);
    }
    for (int y = 0; y < 5; ++y) {
        EXPECT_EQ(s.pixel(0, y), Bg);
        EXPECT_EQ(s.pixel(3, y), Bg);
    }
}

TEST_F(GradientTest, HorizontalDrawsColumnsDownToBeforeTheirEndRow)
{
    gfx::Surface s(4, 4, Bg);
    // R 255 -> 0 over n = 2: the middle column is 127.5 -> 128.
    HorizontalGradient(s, 0x0000FF, 0x000000, 0, 1, 2, 3);
    for (int y : {1, 2}) {
        EXPECT_EQ(s.pixel(0, y), 0x0000FFu);
        EXPECT_EQ(s.pixel(1, y), 0x000080u);
        EXPECT_EQ(s.pixel(2, y), 0x000000u);
        EXPECT_EQ(s.pixel(3, y), Bg);
    }
    EXPECT_EQ(s.pixel(0, 0), Bg);
    EXPECT_EQ(s.pixel(0, 3), Bg);
}

TEST_F(GradientTest, EmptyOrNegativeLengthsDrawNothing)
{
    gfx::Surface s(4, 4, Bg);
    VerticalGradient(s, 0, 0, 0, 0, 4, 0);
    VerticalGradient(s, 0, 0, 0, 0, 4, -3);
    HorizontalGradient(s, 0, 0, 2, 0, 2, 4);
    HorizontalGradient(s, 0, 0, 3, 0, 1, 4);
    fillArea(s, 0, 0, -2, 4, 0);
    fillArea(s, 0, 0, 4, 0, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(s.pixel(x, y), Bg) << x << "," << y;
}

TEST_F(GradientTest, FrameIncludesBothEndsAndFillExcludesThem)
{
    gfx::Surface s(5, 4, Bg);
    drawFrame(s, 0, 0, 2, 1, 0x0000FF);
    fillArea(s, 3, 1, 1, 2, 0x00FF00);
    const char* rows[] = {"FFF..", "FFFG.", "...G.", "....."};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const char want = rows[y][x];
            const gfx::Color c = want == 'F' ? 0x0000FF : want == 'G' ? 0x00FF00 : Bg;
            EXPECT_EQ(s.pixel(x, y), c) << x << "," << y;
        }
}

}  // namespace
}  // namespace quarbel::themed
