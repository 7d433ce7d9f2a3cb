// Regions and clipping.

#include "PixelGrid.h"
#include "gfx/Region.h"
#include "gfx/Surface.h"

#include <gtest/gtest.h>

namespace quarbel::gfx {
namespace {

using testing::matches;
using testing::Palette;

constexpr Color R = 0x0000FF;
const Palette P{{'.', 0xFFFFFF}, {'#', R}};

Surface paint(const Region& region, int w, int h)
{
    Surface s(w, h);
    s.setClip(region);
    s.fillRect({0, 0, w, h}, R);
    return s;
}

TEST(RegionTest, PolygonCoversThePixelsWhoseCentresAreInside)
{
    // The square's right and bottom edges are excluded like a rectangle's.
    EXPECT_TRUE(matches(paint(Region::polygon({{1, 0}, {4, 0}, {4, 2}, {1, 2}}), 5, 3),
                        {".###.", ".###.", "....."}, P));
    // A right triangle: rows hold 3, 2, 1 and 0 pixels (centres left of x = 4 - y - 0.5).
    EXPECT_TRUE(
        matches(paint(Region::polygon({{0, 0}, {4, 0}, {0, 4}}), 4, 4), {"###.", "##..", "#...", "...."}, P));
}

TEST(RegionTest, AlternateFillLeavesTheHoleThatWindingFills)
{
    // An outer square and an inner one walked in the same direction, joined at a corner.
    const std::vector<Point> pts{{0, 0}, {6, 0}, {6, 6}, {0, 6}, {0, 0},
                                 {2, 2}, {4, 2}, {4, 4}, {2, 4}, {2, 2}};
    EXPECT_TRUE(matches(paint(Region::polygon(pts, FillMode::Alternate), 6, 6),
                        {"######", "######", "##..##", "##..##", "######", "######"}, P));
    EXPECT_TRUE(matches(paint(Region::polygon(pts, FillMode::Winding), 6, 6),
                        {"######", "######", "######", "######", "######", "######"}, P));
}

TEST(RegionTest, CutCornersByDifference)
{
    // The corner cut of a 6 x 4 button: two pixels along each top and bottom edge, one on the side.
    Region r = Region::rect({0, 0, 6, 4});
    for (const Rect& cut : {Rect{0, 0, 2, 1}, Rect{0, 3, 2, 4}, Rect{4, 0, 6, 1}, Rect{4, 3, 6, 4},
                            Rect{0, 1, 1, 2}, Rect{0, 2, 1, 3}, Rect{5, 1, 6, 2}, Rect{5, 2, 6, 3}})
        r = r.subtracted(Region::rect(cut));
    EXPECT_TRUE(matches(paint(r, 6, 4), {"..##..", ".####.", ".####.", "..##.."}, P));
    EXPECT_EQ(r.bounds(), (Rect{1, 0, 5, 4}));
}

TEST(RegionTest, RoundRectangleLosesItsCornerPixels)
{
    // A 4 x 4 corner ellipse (radius 2): row 0 has the centre of pixel 0 at distance
    // (1.5, 1.5) from the ellipse centre, outside; pixel 1 at (0.5, 1.5), inside.
    const Region r = Region::roundRect({0, 0, 8, 5}, 4, 4);
    EXPECT_TRUE(
        matches(paint(r, 9, 5), {".######..", "########.", "########.", "########.", ".######.."}, P));
    EXPECT_TRUE(Region::roundRect({0, 0, 3, 3}, 0, 0).contains(0, 0));
    EXPECT_TRUE(Region::roundRect({0, 0, 0, 3}, 4, 4).empty());
}

TEST(RegionTest, FillRegionPaintsItsPixelsWithinTheClip)
{
    Surface s(5, 3);
    const Region triangle = Region::polygon({{0, 0}, {4, 0}, {0, 4}}).offset(1, 0);
    s.setClip(Region::rect({0, 0, 5, 2}));
    s.fillRegion(triangle, R);
    EXPECT_TRUE(matches(s, {".###.", ".##..", "....."}, P));
    s.clearClip();
    s.fillRegion(triangle, Brush::hatch(HatchStyle::Horizontal, 0, R));
    EXPECT_TRUE(matches(s, {".###.", ".##..", ".#..."}, P));
}

TEST(RegionTest, ClipAppliesToEveryWriteUntilCleared)
{
    Surface s(4, 2);
    s.setClip(Region::rect({1, 0, 3, 2}).united(Region::rect({0, 1, 1, 2})));
    s.drawLine({0, 0}, {4, 0}, R);
    s.setPixel(0, 1, R);
    s.setPixel(3, 1, R);
    EXPECT_TRUE(matches(s, {".##.", "#..."}, P));
    s.clearClip();
    s.setPixel(3, 1, R);
    EXPECT_TRUE(matches(s, {".##.", "#..#"}, P));
    EXPECT_TRUE(Region::rect({0, 0, 4, 4}).intersected(Region::rect({2, 2, 6, 6})).contains(3, 3));
    EXPECT_FALSE(Region::rect({0, 0, 4, 4}).intersected(Region::rect({2, 2, 6, 6})).contains(1, 3));
}

}  // namespace
}  // namespace quarbel::gfx
