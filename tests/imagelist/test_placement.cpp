#include "imagelist/Placement.h"

#include <gtest/gtest.h>

namespace quarbel::imagelist {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEven(61.5), 62);
    EXPECT_EQ(roundHalfEven(62.5), 62);
    EXPECT_EQ(roundHalfEven(46.25), 46);
    EXPECT_EQ(roundHalfEven(46.75), 47);
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(7.0), 7);
}

struct PlacementCase {
    QSize image;
    QSize box;
    QRect drawn;
};

class DrawScaledTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(DrawScaledTest, FitsAndCentresKeepingTheRatio)
{
    EXPECT_EQ(DrawScaled(GetParam().image, GetParam().box, AspectRatio::Keep), GetParam().drawn);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, DrawScaledTest,
    ::testing::Values(
        // wide picture: full width, 185 / 4 = 46.25 high, top (169 - 46) / 2 = 61.5 -> 62
        PlacementCase{{4000, 1000}, {185, 169}, {0, 62, 185, 46}},
        // small square picture is enlarged to the box's height, left (185 - 169) / 2 = 8
        PlacementCase{{10, 10}, {185, 169}, {8, 0, 169, 169}},
        // tall picture: 169 * 0.5 = 84.5 -> 84 wide, left (185 - 84) / 2 = 50.5 -> 50
        PlacementCase{{500, 1000}, {185, 169}, {50, 0, 84, 169}},
        // same ratio as the box: fills it
        PlacementCase{{370, 338}, {185, 169}, {0, 0, 185, 169}},
        // one-pixel-high strip
        PlacementCase{{1000, 1}, {185, 169}, {0, 84, 185, 0}},
        // nothing to draw
        PlacementCase{{0, 10}, {185, 169}, {}}, PlacementCase{{10, 10}, {0, 169}, {}}));

TEST(DrawScaled, StretchFillsTheWholeBox)
{
    EXPECT_EQ(DrawScaled({4000, 1000}, {185, 169}, AspectRatio::Stretch), QRect(0, 0, 185, 169));
}

}  // namespace
}  // namespace quarbel::imagelist
