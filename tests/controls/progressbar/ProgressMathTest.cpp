// The value arithmetic, the colour operations and the gradient helper.

#include "../../gfx/PixelGrid.h"
#include "controls/common/SystemColors.h"
#include "controls/progressbar/ProgressDrawing.h"
#include "controls/progressbar/ProgressMath.h"

#include <gtest/gtest.h>

namespace quarbel::progress {
namespace {

struct PercentCase {
    int v, min, max;
    int percent;
    ValueError error;
};

class PercentTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(PercentTest, ValueBecomesARoundedPercentage)
{
    const PercentCase& c = GetParam();
    const PercentResult r = PercentFromValue(c.v, c.min, c.max);
    EXPECT_EQ(r.error, c.error);
    if (c.error == ValueError::None) {
        EXPECT_EQ(r.percent, c.percent);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, PercentTest,
    ::testing::Values(PercentCase{50, 0, 100, 50, ValueError::None},
                      PercentCase{1, 0, 3, 33, ValueError::None},       // 33.3
                      PercentCase{2, 0, 3, 67, ValueError::None},       // 66.7
                      PercentCase{1, 0, 8, 12, ValueError::None},       // 12.5: halves to even
                      PercentCase{3, 0, 8, 38, ValueError::None},       // 37.5
                      PercentCase{150, 0, 100, 150, ValueError::None},  // not clamped here
                      PercentCase{-5, 0, 100, -5, ValueError::None},    // nor raised
                      PercentCase{5, 0, 0, 0, ValueError::DivisionByZero},
                      PercentCase{21474836, 0, 100, 21474836, ValueError::None},  // 2147483600 fits
                      PercentCase{21474837, 0, 100, 0, ValueError::Overflow},
                      PercentCase{15, 10, 20, 50, ValueError::None},  // a range that does not start at 0
                      PercentCase{7, 7, 7, 0, ValueError::DivisionByZero}));

TEST(PercentTest, ProductJustInsideTheRangeIsAccepted)
{
    const PercentResult r = PercentFromValue(21474836, 0, 21474836);
    EXPECT_EQ(r.error, ValueError::None);
    EXPECT_EQ(r.percent, 100);
}

TEST(PercentTest, ReadingBackGivesTheValueThePercentageStandsFor)
{
    EXPECT_EQ(ValueFromPercent(33, 0, 3), 1);  // 0.99
    EXPECT_EQ(ValueFromPercent(50, 0, 3), 2);  // 1.5 to even
    EXPECT_EQ(ValueFromPercent(50, 0, 5), 2);  // 2.5 to even
    EXPECT_EQ(ValueFromPercent(50, 10, 20), 15);
    EXPECT_EQ(ValueFromPercent(0, 0, 0), 0);
}

TEST(ColourTest, LightenMovesEachChannelTowardWhiteWithIntegerDivision)
{
    EXPECT_EQ(LightenColor(0x123456, 0), 0x123456u);
    EXPECT_EQ(LightenColor(0x123456, 255), 0xFFFFFFu);
    // Green 0x00FF00 with a = 150: red and blue 150, green 150 + 105 = 255.
    EXPECT_EQ(LightenColor(0x00FF00, 150), gfx::rgb(150, 255, 150));
    // Channel 100 with a = 10: 10 + 245 * 100 \ 255 = 10 + 96.
    EXPECT_EQ(LightenColor(gfx::rgb(0, 100, 0), 10), gfx::rgb(10, 106, 10));
}

TEST(ColourTest, BlendScalesTowardTheSecondColour)
{
    SystemColors::use(SystemColors::classicTable());
    EXPECT_EQ(BlendColor(0x00FF00, 0, 255), 0x00FF00u);
    EXPECT_EQ(BlendColor(0x00FF00, 0, 0), 0u);
    EXPECT_EQ(BlendColor(0x00FF00, 0, 180), gfx::rgb(0, 180, 0));
    // 3 * 85 / 255 = 1.0; 1 * 128 / 255 = 0.502 rounds up.
    EXPECT_EQ(BlendColor(gfx::rgb(3, 1, 0), 0, 85), gfx::rgb(1, 0, 0));
    EXPECT_EQ(BlendColor(gfx::rgb(3, 1, 0), 0, 128), gfx::rgb(2, 1, 0));
    // Between two colours, and with a system colour resolved first.
    EXPECT_EQ(BlendColor(0xFFFFFF, 0x000000, 51), gfx::rgb(51, 51, 51));
    EXPECT_EQ(BlendColor(0x8000000D, 0, 255), SystemColors::get(Highlight));
    SystemColors::reset();
}

using gfx::testing::matches;

class GradientTest : public ::testing::Test {
protected:
    void SetUp() override { SystemColors::use(SystemColors::classicTable()); }
    void TearDown() override { SystemColors::reset(); }
    gfx::Surface s{6, 4};
};

TEST_F(GradientTest, LengthZeroDrawsOneLineInTheEndColour)
{
    std::uint32_t end = 0x0000FF, start = 0x00FF00;
    DrawGradient(end, start, 1, 0, 0, 3, s, true);
    EXPECT_TRUE(matches(s, {".e....", ".e....", ".e....", "......"}, {{'.', 0xFFFFFF}, {'e', 0x0000FF}}));
}

TEST_F(GradientTest, NegativeLengthDrawsNothing)
{
    std::uint32_t end = 0x0000FF, start = 0x00FF00;
    DrawGradient(end, start, 1, 0, -1, 3, s, true);
    DrawGradient(end, start, 0, 1, 5, -1, s, false);
    EXPECT_TRUE(matches(s, {"......", "......", "......", "......"}, {{'.', 0xFFFFFF}}));
}

TEST_F(GradientTest, VerticalLinesRunFromTheEndColourToTheStartColour)
{
    // Red 0 to 30 over n = 3: steps of 10, the last line exactly the start colour.
    std::uint32_t end = gfx::rgb(0, 0, 90), start = gfx::rgb(30, 60, 0);
    DrawGradient(end, start, 1, 1, 3, 3, s, true);
    EXPECT_TRUE(matches(s, {"......", ".abcd.", ".abcd.", "......"},
                        {{'.', 0xFFFFFF},
                         {'a', gfx::rgb(0, 0, 90)},
                         {'b', gfx::rgb(10, 20, 60)},
                         {'c', gfx::rgb(20, 40, 30)},
                         {'d', gfx::rgb(30, 60, 0)}}));
}

TEST_F(GradientTest, HorizontalLinesAndHalfwayChannelsRoundToEven)
{
    // Red 0 to 1 over n = 2: 0, 0.5 -> 0, 1. Green 1 to 4: 1, 2.5 -> 2, 4. X2 is the end column.
    std::uint32_t end = gfx::rgb(0, 1, 0), start = gfx::rgb(1, 4, 0);
    DrawGradient(end, start, 2, 0, 5, 2, s, false);
    EXPECT_TRUE(matches(
        s, {"..aaa.", "..bbb.", "..ccc.", "......"},
        {{'.', 0xFFFFFF}, {'a', gfx::rgb(0, 1, 0)}, {'b', gfx::rgb(0, 2, 0)}, {'c', gfx::rgb(1, 4, 0)}}));
}

TEST_F(GradientTest, SystemColoursAreResolvedAndWrittenBack)
{
    std::uint32_t end = 0x8000000D, start = 0x80000005;
    DrawGradient(end, start, 0, 0, 0, 2, s, true);
    EXPECT_EQ(end, SystemColors::get(Highlight));
    EXPECT_EQ(start, SystemColors::get(Window));
    EXPECT_EQ(s.pixel(0, 0), SystemColors::get(Highlight));
}

TEST_F(GradientTest, HugeLengthsStopAtTheSurfaceEdge)
{
    std::uint32_t end = 0, start = 0xFFFFFF;
    DrawGradient(end, start, 0, 0, 2147483647, 4, s, true);
    EXPECT_EQ(s.pixel(5, 3), 0u);
    // Starting far before the surface: only the visible lines are drawn, in their own colours.
    gfx::Surface t(3, 1);
    std::uint32_t e2 = 0, s2 = gfx::rgb(0, 0, 200);
    DrawGradient(e2, s2, -2000000000, 0, 2000000002, 1, t, true);
    EXPECT_EQ(t.pixel(2, 0), gfx::rgb(0, 0, 200));
    EXPECT_EQ(t.pixel(0, 0), gfx::rgb(0, 0, 200));
}

}  // namespace
}  // namespace quarbel::progress
