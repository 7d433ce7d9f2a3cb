// Rectangles, lines and pixels of the raster layer.

#include "PixelGrid.h"
#include "gfx/Surface.h"

#include <gtest/gtest.h>

namespace quarbel::gfx {
namespace {

using testing::matches;
using testing::Palette;

constexpr Color W = 0xFFFFFF;
constexpr Color R = 0x0000FF;
const Palette P{{'.', W}, {'#', R}};

TEST(RectTest, RightAndBottomAreExclusive)
{
    const Rect r{1, 2, 4, 6};
    EXPECT_EQ(r.width(), 3);
    EXPECT_EQ(r.height(), 4);
    EXPECT_TRUE(r.contains(1, 2));
    EXPECT_TRUE(r.contains(3, 5));
    EXPECT_FALSE(r.contains(4, 5));
    EXPECT_FALSE(r.contains(3, 6));
    EXPECT_TRUE((Rect{2, 2, 2, 5}.empty()));
    EXPECT_TRUE((Rect{5, 0, 2, 5}.empty()));
    EXPECT_EQ(r.intersected({3, 0, 10, 3}), (Rect{3, 2, 4, 3}));
    EXPECT_TRUE(r.intersected({4, 0, 10, 10}).empty());
}

TEST(RoundEvenTest, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(roundEven(0.5), 0);
    EXPECT_EQ(roundEven(1.5), 2);
    EXPECT_EQ(roundEven(2.5), 2);
    EXPECT_EQ(roundEven(-0.5), 0);
    EXPECT_EQ(roundEven(-1.5), -2);
    EXPECT_EQ(roundEven(2.4999), 2);
    EXPECT_EQ(roundEven(1e12), 2147483647);
    EXPECT_EQ(roundEven(-1e12), -2147483647 - 1);
}

TEST(SurfaceTest, FillExcludesRightAndBottomEdgeAndClipsToTheSurface)
{
    Surface s(5, 4);
    s.fillRect({1, 1, 3, 3}, R);
    EXPECT_TRUE(matches(s, {".....", ".##..", ".##..", "....."}, P));
    s.fillRect({3, -2, 9, 1}, R);
    EXPECT_TRUE(matches(s, {"...##", ".##..", ".##..", "....."}, P));
    s.fillRect({4, 3, 2, 1}, 0);  // reversed corners: nothing
    EXPECT_TRUE(matches(s, {"...##", ".##..", ".##..", "....."}, P));
}

TEST(SurfaceTest, FrameIsOnePixelInsideTheRectangle)
{
    Surface s(6, 5);
    s.frameRect({1, 0, 5, 4}, R);
    EXPECT_TRUE(matches(s, {".####.", ".#..#.", ".#..#.", ".####.", "......"}, P));
    Surface thin(3, 3);
    thin.frameRect({1, 0, 2, 3}, R);
    EXPECT_TRUE(matches(thin, {".#.", ".#.", ".#."}, P));
}

TEST(SurfaceTest, PixelsOutsideReadAsInvalidAndIgnoreWrites)
{
    Surface s(2, 2, 0x123456);
    EXPECT_EQ(s.pixel(1, 1), 0x123456u);
    EXPECT_EQ(s.pixel(2, 0), InvalidColor);
    EXPECT_EQ(s.pixel(0, -1), InvalidColor);
    s.setPixel(-1, 0, R);
    s.setPixel(1, 0, R);
    EXPECT_EQ(s.pixel(1, 0), R);
    EXPECT_EQ(s.pixel(0, 0), 0x123456u);
}

TEST(SurfaceTest, ColourChannelsKeepTheirPlaces)
{
    Surface s(1, 1);
    s.setPixel(0, 0, rgb(1, 2, 3));
    const QRgb q = s.image().pixel(0, 0);
    EXPECT_EQ(qRed(q), 1);
    EXPECT_EQ(qGreen(q), 2);
    EXPECT_EQ(qBlue(q), 3);
    EXPECT_EQ(rgb(1, 2, 3), 0x030201u);
}

struct LineCase {
    const char* name;
    Point from;
    Point to;
    std::vector<std::string> rows;
};

class LineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineTest, PaintsFromTheStartAndNeverTheEnd)
{
    const LineCase& c = GetParam();
    Surface s(static_cast<int>(c.rows[0].size()), static_cast<int>(c.rows.size()));
    s.drawLine(c.from, c.to, R);
    EXPECT_TRUE(matches(s, c.rows, P));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineTest,
    ::testing::Values(LineCase{"horizontal", {1, 1}, {4, 1}, {".....", ".###.", "....."}},
                      LineCase{"leftward", {4, 1}, {1, 1}, {".....", "..###", "....."}},
                      LineCase{"vertical", {2, 0}, {2, 2}, {"..#..", "..#..", "....."}},
                      LineCase{"single point", {2, 1}, {2, 1}, {".....", ".....", "....."}},
                      LineCase{"diagonal", {0, 0}, {3, 3}, {"#...", ".#..", "..#.", "...."}},
                      LineCase{"anti-diagonal", {3, 0}, {0, 3}, {"...#", "..#.", ".#..", "...."}},
                      // Slope 1/2: at x = 1 and x = 3 the line passes half-way; the upper pixel is taken.
                      LineCase{"gentle", {0, 0}, {4, 2}, {"##...", "..##.", "....."}},
                      LineCase{"gentle backward", {4, 2}, {0, 0}, {".#...", "..##.", "....#"}},
                      LineCase{"steep", {0, 0}, {2, 4}, {"#..", "#..", ".#.", ".#.", "..."}},
                      // Slope 1/3: offsets 0, 1/3, 2/3 round to 0, 0, 1.
                      LineCase{"third", {0, 0}, {3, 1}, {"##..", "..#.", "...."}},
                      LineCase{"clipped at the edge", {-2, 1}, {6, 1}, {"....", "####", "...."}}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (ch == ' ' || ch == '-')
                ch = '_';
        return n;
    });

TEST(SurfaceTest, CopyIsAPlainPixelCopyClippedToBothSurfaces)
{
    Surface from(3, 2, W);
    from.setPixel(0, 0, R);
    from.setPixel(2, 1, R);
    Surface to(4, 3);
    to.copyFrom(from, {0, 0, 3, 2}, {2, 1});
    EXPECT_TRUE(matches(to, {"....", "..#.", "...."}, P));
}

}  // namespace
}  // namespace quarbel::gfx
