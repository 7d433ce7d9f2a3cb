// Style 5 at the window's button sizes, worked out by hand from the drawing rules. The button
// face is the classic 0xC8D0D4; W x H is 81 x 25 (w 80, a 79, b 78, h1 24, h2 23, h3 22) or
// 73 x 25 (w 72, a 71, b 70).

#include "controls/themedbutton/GlossyStyles.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace quarbel::themed {
namespace {

constexpr gfx::Color Face = 0xC8D0D4;
constexpr gfx::Color Frame = 0x743C00, Inner = 0x906E48, Outer = 0xA28B6A, Soft = 0xCAC7BF;

struct Probe {
    int x, y;
    gfx::Color color;
};

struct FaceCase {
    const char* name;
    int w;
    FaceState state;
    bool focus;
    std::vector<Probe> probes;
};

void PrintTo(const FaceCase& c, std::ostream* os) { *os << c.name << " at " << c.w << " x 25"; }

gfx::Surface draw(int W, int H, FaceState state, bool focus, bool custom = false, bool showFocus = false)
{
    GlossyLook look;
    look.style = FixedGlossy;
    look.state = state;
    look.hasFocus = focus;
    look.showFocus = showFocus;
    look.useCustomColors = custom;
    look.buttonFace = Face;
    look.backColor = Face;
    look.highlightColor = 0x6A240A;
    gfx::Surface s(W, H, 0x123456);
    DrawGlossyFace(s, W, H, look);
    return s;
}

class FixedGlossyTest : public ::testing::TestWithParam<FaceCase> {};

TEST_P(FixedGlossyTest, PixelsFollowTheDrawingRules)
{
    const FaceCase& c = GetParam();
    const gfx::Surface s = draw(c.w, 25, c.state, c.focus);
    for (const Probe& p : c.probes)
        EXPECT_EQ(s.pixel(p.x, p.y), p.color) << std::hex << "at (" << std::dec << p.x << ", " << p.y << ")";
}

// The outline and corner pixels every state but Disabled shares, at 81 x 25.
std::vector<Probe> outline81(std::vector<Probe> more)
{
    std::vector<Probe> p{{0, 0, Face},   {80, 0, Face},   {0, 24, Face},   {80, 24, Face},  {40, 0, Frame},
                         {0, 12, Frame}, {80, 12, Frame}, {40, 24, Frame}, {1, 1, Inner},   {79, 23, Inner},
                         {1, 0, Outer},  {80, 1, Outer},  {1, 24, Outer},  {79, 24, Outer}, {0, 23, Outer}};
    p.insert(p.end(), more.begin(), more.end());
    return p;
}

INSTANTIATE_TEST_SUITE_P(
    Window81, FixedGlossyTest,
    ::testing::Values(
        // Bands: rows 1..5 0xFBFCFC -> 0xF0F0F0 (B 251 - 2.75 i: 248, 245.5 -> 246); rows 4..21
        // 0xF9FAFA -> 0xEAF0F0 (row 12: 250 - 80/17 -> 245, 249 - 120/17 -> 242); rows 21..24
        // 0xE6EBEB -> 0xC5D0D6. Column 78: 0xFAFBFB -> 0xDAE2E4, row 13 halfway (239.5 -> 240,
        // 238.5 -> 238, 234); column 79: 0xF2F4F5 -> 0xCDD7DB (232, 229.5 -> 230, 223.5 -> 224).
        FaceCase{"normal", 81, FaceState::Normal, false,
                 outline81({{40, 1, 0xFBFCFC},
                            {40, 2, 0xF8F9F9},
                            {40, 3, 0xF6F6F6},
                            {40, 4, 0xF9FAFA},
                            {40, 12, 0xF2F5F5},
                            {1, 12, 0xF2F5F5},
                            {40, 21, 0xE6EBEB},
                            {40, 22, 0xDBE2E4},
                            {40, 23, 0xD0D9DD},
                            {78, 13, 0xEAEEF0},
                            {79, 13, 0xE0E6E8},
                            {2, 1, Soft},
                            {1, 2, Soft},
                            {79, 2, Soft},
                            {78, 23, Soft},
                            {2, 23, Soft},
                            {79, 1, Inner}})},
        // The hot ring over rows 1, 2, 22, 23 (x 2..78) and columns 1, 2, 78, 79 (rows 2..22,
        // 0x89D8FD -> 0x30B3F8: row 12 is 250.5 -> 250, 197.5 -> 198, 92.5 -> 92).
        FaceCase{"hot", 81, FaceState::Hot, false,
                 outline81({{40, 1, 0xCFF0FF},
                            {40, 2, 0x89D8FD},
                            {40, 22, 0x30B3F8},
                            {40, 23, 0x1097E5},
                            {2, 1, 0xCFF0FF},
                            {78, 1, 0xCFF0FF},
                            {1, 2, 0x89D8FD},
                            {1, 22, 0x30B3F8},
                            {1, 12, 0x5CC6FA},
                            {2, 12, 0x5CC6FA},
                            {78, 12, 0x5CC6FA},
                            {79, 12, 0x5CC6FA},
                            {3, 12, 0xF2F5F5},
                            {77, 12, 0xF2F5F5},
                            {40, 3, 0xF6F6F6},
                            {79, 1, Inner}})},
        // The default ring: 0xF6D4BC -> 0xE4AD89 down the sides (162.5 -> 162, 192.5 -> 192, 237).
        FaceCase{"normal_focus", 81, FaceState::Normal, true,
                 outline81({{40, 1, 0xFFE7CE},
                            {40, 2, 0xF6D4BC},
                            {40, 22, 0xE4AD89},
                            {40, 23, 0xEE8269},
                            {1, 12, 0xEDC0A2},
                            {79, 12, 0xEDC0A2},
                            {3, 12, 0xF2F5F5},
                            {40, 12, 0xF2F5F5}})},
        // Hot wins over focus.
        FaceCase{"hot_focus", 81, FaceState::Hot, true, outline81({{40, 1, 0xCFF0FF}, {1, 12, 0x5CC6FA}})},
        // Pressed: rows 1..5 0xC1CCD1 -> 0xDCE3E4 from x 2; rows 4..21 0xDCE3E4 -> 0xDBE2E3
        // (row 12: 228 - 8/17 -> 228; row 13: 227.47 -> 227); rows 21..24 0xDBE2E3 -> 0xEEF1F2
        // from x 3 (row 22: 232, 231, 225.3 -> 225); left columns 1 (rows 3..23) and 2 (rows
        // 4..22) 0xCED8DA -> 0xDBE2E3, halfway 222.5 -> 222, 221, 212.5 -> 212. No ring even
        // with focus.
        FaceCase{"pressed_focus", 81, FaceState::Pressed, true,
                 outline81({{40, 1, 0xC1CCD1},
                            {40, 3, 0xCED8DA},
                            {40, 12, 0xDCE3E4},
                            {40, 13, 0xDBE2E3},
                            {79, 12, 0xDCE3E4},
                            {40, 22, 0xE1E7E8},
                            {40, 23, 0xE8ECED},
                            {1, 13, 0xD4DDDE},
                            {2, 13, 0xD4DDDE},
                            {2, 22, 0xDBE2E3},
                            {1, 2, Soft},
                            {2, 1, Soft},
                            {78, 23, Soft}})},
        // Disabled: a flat fill, the full outline (corners included) and twelve softer pixels.
        FaceCase{"disabled",
                 81,
                 FaceState::Disabled,
                 true,
                 {{0, 0, 0xBAC7C9},
                  {80, 24, 0xBAC7C9},
                  {40, 0, 0xBAC7C9},
                  {0, 12, 0xBAC7C9},
                  {40, 12, 0xEAF4F5},
                  {2, 2, 0xEAF4F5},
                  {1, 1, 0xC7D5D8},
                  {0, 1, 0xC7D5D8},
                  {79, 0, 0xC7D5D8},
                  {80, 23, 0xC7D5D8},
                  {79, 23, 0xC7D5D8},
                  {1, 24, 0xC7D5D8},
                  {2, 1, 0xEAF4F5}}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Window73, FixedGlossyTest,
    ::testing::Values(
        FaceCase{"normal",
                 73,
                 FaceState::Normal,
                 false,
                 {{72, 0, Face},
                  {71, 0, Outer},
                  {72, 1, Outer},
                  {72, 12, Frame},
                  {71, 1, Inner},
                  {70, 1, Soft},
                  {71, 2, Soft},
                  {70, 13, 0xEAEEF0},
                  {71, 13, 0xE0E6E8},
                  {69, 12, 0xF2F5F5},
                  {36, 12, 0xF2F5F5}}},
        FaceCase{"hot",
                 73,
                 FaceState::Hot,
                 false,
                 {{36, 1, 0xCFF0FF},
                  {70, 1, 0xCFF0FF},
                  {71, 1, Inner},
                  {70, 12, 0x5CC6FA},
                  {71, 12, 0x5CC6FA},
                  {69, 12, 0xF2F5F5},
                  {36, 23, 0x1097E5},
                  {72, 12, Frame}}},
        FaceCase{"normal_focus",
                 73,
                 FaceState::Normal,
                 true,
                 {{36, 1, 0xFFE7CE}, {71, 12, 0xEDC0A2}, {36, 22, 0xE4AD89}, {72, 24, Face}}},
        FaceCase{"pressed",
                 73,
                 FaceState::Pressed,
                 false,
                 {{36, 1, 0xC1CCD1}, {71, 12, 0xDCE3E4}, {71, 23, Inner}, {70, 23, Soft}, {72, 12, Frame}}},
        FaceCase{"disabled",
                 73,
                 FaceState::Disabled,
                 false,
                 {{72, 24, 0xBAC7C9}, {71, 24, 0xC7D5D8}, {72, 1, 0xC7D5D8}, {36, 12, 0xEAF4F5}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The pixels the rings cover: rows 1, 2, h3, h2 between x 2 and a - 1, and columns 1, 2, b, a
// from row 2 to h3.
bool onRing(int x, int y, int W, int H)
{
    const bool ringRow = (y == 1 || y == 2 || y == H - 3 || y == H - 2) && x >= 2 && x <= W - 3;
    const bool ringColumn = (x == 1 || x == 2 || x == W - 3 || x == W - 2) && y >= 2 && y <= H - 3;
    return ringRow || ringColumn;
}

TEST(FixedGlossyRings, HotAndFocusedNormalDifferFromNormalOnlyOnTheRing)
{
    for (int W : {81, 73}) {
        const gfx::Surface normal = draw(W, 25, FaceState::Normal, false);
        const gfx::Surface hot = draw(W, 25, FaceState::Hot, false);
        const gfx::Surface focused = draw(W, 25, FaceState::Normal, true);
        int hotDiffs = 0;
        int focusDiffs = 0;
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < W; ++x) {
                const bool ring = onRing(x, y, W, 25);
                if (!ring) {
                    EXPECT_EQ(hot.pixel(x, y), normal.pixel(x, y)) << W << ": " << x << "," << y;
                    EXPECT_EQ(focused.pixel(x, y), normal.pixel(x, y)) << W << ": " << x << "," << y;
                } else {
                    EXPECT_NE(hot.pixel(x, y), focused.pixel(x, y)) << W << ": " << x << "," << y;
                }
                hotDiffs += hot.pixel(x, y) != normal.pixel(x, y);
                focusDiffs += focused.pixel(x, y) != normal.pixel(x, y);
            }
        // Four rows of W - 4 pixels and four columns of H - 4, less the four pixels where
        // rows 2 and h3 cross columns 2 and b.
        EXPECT_EQ(hotDiffs, 4 * (W - 4) + 4 * (25 - 4) - 4) << W;
        EXPECT_EQ(focusDiffs, 4 * (W - 4) + 4 * (25 - 4) - 4) << W;
    }
}

TEST(FixedGlossyRings, OutlineAndCornersStayInEveryStateButDisabled)
{
    const int W = 81, H = 25, w = W - 1, a = W - 2, b = W - 3, h1 = H - 1, h2 = H - 2, h3 = H - 3;
    const gfx::Surface normal = draw(W, H, FaceState::Normal, false);
    std::vector<std::pair<int, int>> outline{{1, 1},  {1, h2}, {a, 1},  {a, h2}, {0, 1}, {1, 0}, {1, h1},
                                             {0, h2}, {w, h2}, {a, h1}, {a, 0},  {w, 1}, {1, 2}, {2, 1},
                                             {2, h2}, {1, h3}, {a, h3}, {b, h2}, {b, 1}, {a, 2}};
    for (int x = 0; x < W; ++x) {
        outline.emplace_back(x, 0);
        outline.emplace_back(x, h1);
    }
    for (int y = 0; y < H; ++y) {
        outline.emplace_back(0, y);
        outline.emplace_back(w, y);
    }
    for (FaceState state : {FaceState::Hot, FaceState::Pressed}) {
        for (bool focus : {false, true}) {
            const gfx::Surface s = draw(W, H, state, focus);
            for (const auto& [x, y] : outline) {
                if (state == FaceState::Pressed || !onRing(x, y, W, H)) {
                    EXPECT_EQ(s.pixel(x, y), normal.pixel(x, y)) << int(state) << ": " << x << "," << y;
                }
            }
        }
    }
}

// Custom colours with K = 0xC8D0D4 (R 212, G 208, B 200) and highlight R = 0x6A240A.
TEST(CustomGlossy, ColoursDeriveFromBackColorAndTheRingNeedsShowFocus)
{
    const gfx::Surface pressed = draw(81, 25, FaceState::Pressed, false, true);
    EXPECT_EQ(pressed.pixel(0, 0), Face);
    EXPECT_EQ(pressed.pixel(40, 0), 0x485054u);   // K - 128
    EXPECT_EQ(pressed.pixel(1, 1), 0x687074u);    // K - 96
    EXPECT_EQ(pressed.pixel(79, 22), 0xDAE2E6u);  // (a, h3): K + 18
    EXPECT_EQ(pressed.pixel(40, 1), 0xA3ABAFu);   // K - 37 at the top of the face

    const gfx::Surface focusOnly = draw(81, 25, FaceState::Normal, true, true, false);
    EXPECT_EQ(focusOnly.pixel(40, 1), 0xCDD5D9u);  // the inner line, K + 5
    const gfx::Surface shown = draw(81, 25, FaceState::Normal, true, true, true);
    EXPECT_EQ(shown.pixel(40, 1), 0xBF795Fu);   // R + 85
    EXPECT_EQ(shown.pixel(40, 2), 0xAF694Fu);   // R + 69
    EXPECT_EQ(shown.pixel(40, 22), 0x7A341Au);  // R + 16

    const gfx::Surface disabled = draw(81, 25, FaceState::Disabled, false, true);
    EXPECT_EQ(disabled.pixel(40, 0), 0x889094u);  // K - 64
    EXPECT_EQ(disabled.pixel(1, 1), 0x939B9Fu);   // K - 53
    EXPECT_EQ(disabled.pixel(40, 12), Face);
}

}  // namespace
}  // namespace quarbel::themed
