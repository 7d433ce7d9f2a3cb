// 3-D edges: which colour each border pixel gets.

#include "PixelGrid.h"
#include "gfx/Edge.h"

#include <gtest/gtest.h>

namespace quarbel::gfx {
namespace {

using testing::matches;
using testing::Palette;

// Distinct colours for each role, so the picture shows which role painted a pixel.
const EdgeColors C{/*light*/ 0x0000AA, /*highlight*/ 0x00BB00, /*shadow*/ 0xCC0000, /*darkShadow*/ 0x000001,
                   /*face*/ 0x00EE00};
const Palette P{{'l', C.light},      {'h', C.highlight}, {'s', C.shadow},
                {'d', C.darkShadow}, {'f', C.face},      {'.', 0xFFFFFF}};

struct EdgeCase {
    const char* name;
    unsigned edge;
    std::vector<std::string> rows;
};

class EdgeTest : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(EdgeTest, TwoBordersOnAllSides)
{
    const EdgeCase& c = GetParam();
    Surface s(5, 5);
    const Rect inside = drawEdge(s, {0, 0, 5, 5}, c.edge, AllSides, C);
    EXPECT_TRUE(matches(s, c.rows, P));
    EXPECT_EQ(inside, (Rect{2, 2, 3, 3}));
}

// Outer border: top and left lines stop before the far corner, bottom and right run the whole
// side, so the top-right and bottom-left pixels take the bottom-right colour.
INSTANTIATE_TEST_SUITE_P(
    Edges, EdgeTest,
    ::testing::Values(EdgeCase{"raised", EdgeRaised, {"lllld", "lhhsd", "lh.sd", "lsssd", "ddddd"}},
                      EdgeCase{"sunken", EdgeSunken, {"ssssh", "sddlh", "sd.lh", "slllh", "hhhhh"}},
                      EdgeCase{"etched", EdgeEtched, {"ssssh", "shhsh", "sh.sh", "ssssh", "hhhhh"}},
                      EdgeCase{"bump", EdgeBump, {"lllld", "lddld", "ld.ld", "lllld", "ddddd"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EdgeTest, OneBorderAloneTakesTheOuterPlace)
{
    Surface s(4, 3);
    EXPECT_EQ(drawEdge(s, {0, 0, 4, 3}, SunkenOuter, AllSides, C), (Rect{1, 1, 3, 2}));
    EXPECT_TRUE(matches(s, {"sssh", "s..h", "hhhh"}, P));
    Surface t(4, 3);
    drawEdge(t, {0, 0, 4, 3}, RaisedInner, AllSides, C);
    EXPECT_TRUE(matches(t, {"hhhs", "h..s", "ssss"}, P));
}

TEST(EdgeTest, OnlyTheRequestedSidesAndTheMiddle)
{
    Surface s(4, 4);
    const Rect inside = drawEdge(s, {0, 0, 4, 4}, RaisedOuter, SideTop | SideLeft | FillMiddle, C);
    EXPECT_EQ(inside, (Rect{1, 1, 4, 4}));
    EXPECT_TRUE(matches(s, {"lll.", "lfff", "lfff", ".fff"}, P));
}

}  // namespace
}  // namespace quarbel::gfx
