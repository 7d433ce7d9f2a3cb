// Pixels of every style, worked out by hand from the drawing rules. The bar is green
// K = 0x00FF00, so L(a) = rgb(a, 255, a) and D(a) = rgb(0, a, 0); the system colours are the
// classic table (3-D shadow 0x808080, highlight white, light 0xC8D0D4, dark shadow 0x404040).

#include "controls/common/SystemColors.h"
#include "controls/progressbar/ProgressStyles.h"

#include <gtest/gtest.h>
#include <QGuiApplication>

namespace quarbel::progress {
namespace {

constexpr gfx::Color K = 0x00FF00;
constexpr gfx::Color White = 0xFFFFFF;
constexpr gfx::Color Black = 0x000000;
constexpr gfx::Color Shadow = 0x808080;
constexpr gfx::Color Light = 0xC8D0D4;
constexpr gfx::Color DarkShadow = 0x404040;
constexpr gfx::Color L(int a) { return gfx::rgb(a, 255, a); }
constexpr gfx::Color D(int a) { return gfx::rgb(0, a, 0); }
constexpr gfx::Color Grey(int v) { return gfx::rgb(v, v, v); }
// The XP frame's colours.
constexpr gfx::Color FrameOuter = 0x686868, FrameDark = 0xBEBEBE, FrameLight = 0xEFEFEF;

struct Probe {
    int x, y;
    gfx::Color color;
};

struct StyleCase {
    const char* name;
    int scrolling;
    int percent;
    int orientation;
    int w, h;
    std::vector<Probe> probes;
    int brushStyle = 0;
};

class StyleTest : public ::testing::TestWithParam<StyleCase> {
protected:
    static void SetUpTestSuite() { SystemColors::use(SystemColors::classicTable()); }
    static void TearDownTestSuite() { SystemColors::reset(); }
};

TEST_P(StyleTest, PixelsFollowTheDrawingRules)
{
    const StyleCase& c = GetParam();
    Look look;
    look.scrolling = c.scrolling;
    look.percent = c.percent;
    look.orientation = c.orientation;
    look.color = K;
    look.brushStyle = c.brushStyle;
    gfx::Surface s(c.w, c.h, 0x123456);
    RenderProgressBar(s, c.w, c.h, look);
    for (const Probe& p : c.probes)
        EXPECT_EQ(s.pixel(p.x, p.y), p.color) << std::hex << "at (" << std::dec << p.x << ", " << p.y << ")";
}

// Pixels of the XP frame every XP-family and Glass bar of 60 x 17 shares.
std::vector<Probe> xpFrame(std::vector<Probe> more)
{
    std::vector<Probe> p{{0, 0, White},       {1, 1, 0x777777},     {2, 2, FrameDark},   {0, 8, FrameOuter},
                         {30, 0, FrameOuter}, {30, 16, FrameOuter}, {59, 8, FrameOuter}, {30, 1, FrameDark},
                         {1, 8, FrameDark},   {2, 8, FrameLight},   {30, 2, FrameLight}, {30, 15, FrameLight},
                         {58, 8, FrameLight}, {58, 1, FrameOuter},  {57, 16, 0x7D7E7F},  {59, 16, White},
                         {0, 14, 0x7D7E7F},   {0, 15, 0xA7ABAC}};
    p.insert(p.end(), more.begin(), more.end());
    return p;
}

INSTANTIATE_TEST_SUITE_P(
    XPFamily, StyleTest,
    ::testing::Values(
        // Blocks at 0: fill right 3 is raised to 12; body columns 4..11; the gap at 10 and 11
        // leaves one block 4..9. Rows: sheen 150, 125, 100, 75 from row 3, K at row 7, the
        // lower sheen 25..150 from row 8 (it is drawn over the body's single row 8).
        StyleCase{"blocks_0", XPBlocks, 0, 0, 60, 17,
                  xpFrame({{4, 3, L(150)},
                           {4, 5, L(100)},
                           {9, 5, L(100)},
                           {10, 5, White},
                           {11, 5, White},
                           {3, 5, White},
                           {4, 7, K},
                           {4, 8, L(25)},
                           {9, 13, L(150)},
                           {4, 14, White}})},
        // Blocks at 50: round(57 * 50 / 98 + 3) = 32, lowered to 27 on the 8-pixel grid;
        // gaps at 10-11, 18-19, 26-27.
        StyleCase{"blocks_50", XPBlocks, 50, 0, 60, 17,
                  xpFrame({{12, 5, L(100)},
                           {19, 5, White},
                           {20, 8, L(25)},
                           {25, 5, L(100)},
                           {26, 5, White},
                           {28, 5, White}})},
        // Blocks at 100: raw fill 61 snaps to 59; the body stops at 55.
        StyleCase{
            "blocks_100", XPBlocks, 100, 0, 60, 17,
            xpFrame({{49, 5, L(100)}, {50, 5, White}, {52, 5, L(100)}, {54, 5, L(100)}, {55, 5, White}})},
        StyleCase{"blocks_50_wide",
                  XPBlocks,
                  50,
                  0,
                  200,
                  17,
                  // W = 200: round(197 * 50 / 98 + 3) = 104 lowered to 99; gaps every 8 from 10.
                  {{9, 5, L(100)},
                   {10, 5, White},
                   {11, 5, White},
                   {12, 5, L(100)},
                   {90, 5, White},
                   {92, 5, L(100)},
                   {97, 5, L(100)},
                   {98, 5, White},
                   {99, 5, White},
                   {100, 5, White}}},
        StyleCase{"smooth_0", XPSmooth, 0, 0, 60, 17,
                  xpFrame({{11, 5, L(100)}, {12, 5, White}, {10, 5, L(100)}})},
        // Smooth at 50: 32 snaps to 31 on the 2-pixel grid.
        StyleCase{"smooth_50", XPSmooth, 50, 0, 60, 17,
                  xpFrame({{30, 5, L(100)}, {31, 5, White}, {10, 5, L(100)}})},
        StyleCase{"smooth_100", XPSmooth, 100, 0, 60, 17,
                  xpFrame({{56, 5, L(100)}, {57, 5, White}, {56, 7, K}})},
        StyleCase{"unlisted_style_draws_smooth", 42, 50, 0, 60, 17,
                  xpFrame({{30, 5, L(100)}, {31, 5, White}})},
        // Busy at 0: the chunks start at 12k - 33 and are hidden behind the frame.
        StyleCase{"busy_0", XPBusy, 0, 0, 60, 17, xpFrame({{3, 5, White}, {5, 5, White}, {30, 5, White}})},
        // Busy at 50: chunk lefts round(12k + 31 - 22.5) = 8 (8.5 to even), 20 (20.5), 32 (32.5);
        // ten columns each, rows 3..14, L(220) -> L(200), L(180) -> L(160), L(140) -> L(120).
        StyleCase{"busy_50", XPBusy, 50, 0, 60, 17,
                  xpFrame({{7, 5, White},
                           {8, 5, L(220)},
                           {8, 3, L(220)},
                           {8, 14, L(220)},
                           {17, 5, L(200)},
                           {18, 5, White},
                           {20, 5, L(180)},
                           {29, 5, L(160)},
                           {32, 5, L(140)},
                           {41, 5, L(120)},
                           {42, 5, White}})},
        StyleCase{"busy_100", XPBusy, 100, 0, 60, 17, xpFrame({{50, 5, White}, {10, 5, White}})}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    XPVertical, StyleTest,
    ::testing::Values(
        // 17 x 60 at 50: top = round(60 * (1 - 50 / 98)) = 29, moved down the 8-grid to 36.
        // Columns 4..8 run L(150) to K (37.5 steps: 112.5 -> 112, 37.5 -> 38), 9..13 back.
        // Gaps at rows 42-43 and 50-51.
        StyleCase{"blocks_vertical_50",
                  XPBlocks,
                  50,
                  1,
                  17,
                  60,
                  {{4, 35, White},
                   {4, 36, L(150)},
                   {5, 40, L(112)},
                   {7, 40, L(38)},
                   {8, 40, K},
                   {9, 40, K},
                   {10, 40, L(38)},
                   {13, 40, L(150)},
                   {14, 40, White},
                   {4, 42, White},
                   {4, 43, White},
                   {4, 44, L(150)},
                   {4, 50, White},
                   {4, 57, L(150)},
                   {15, 40, FrameLight},
                   {16, 40, FrameOuter}}},
        StyleCase{"smooth_vertical_50",
                  XPSmooth,
                  50,
                  1,
                  17,
                  60,
                  {{4, 29, White}, {4, 30, L(150)}, {8, 30, K}, {4, 42, L(150)}}},
        StyleCase{"smooth_vertical_0", XPSmooth, 0, 1, 17, 60, {{4, 57, White}, {8, 40, White}}},
        // Busy vertical at 50: chunks at rows 30, 42, 54, painted from x = 15 leftwards to 3.
        StyleCase{"busy_vertical_50",
                  XPBusy,
                  50,
                  1,
                  17,
                  60,
                  {{8, 29, White},
                   {8, 30, L(220)},
                   {3, 30, L(220)},
                   {2, 30, FrameLight},
                   {8, 39, L(200)},
                   {8, 40, White},
                   {8, 42, L(180)},
                   {8, 54, L(140)}}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Classic, StyleTest,
    ::testing::Values(
        // Flat: outline L(100), fill (1, 1, round(P / 100 * W), H - 1) in L(180).
        StyleCase{
            "flat_0", Flat, 0, 0, 60, 17, {{0, 0, L(100)}, {59, 16, L(100)}, {1, 1, White}, {30, 8, White}}},
        StyleCase{"flat_50",
                  Flat,
                  50,
                  0,
                  60,
                  17,
                  {{1, 1, L(180)}, {29, 15, L(180)}, {30, 8, White}, {29, 16, L(100)}}},
        StyleCase{"flat_100", Flat, 100, 0, 60, 17, {{58, 8, L(180)}, {59, 8, L(180)}, {59, 0, L(100)}}},
        // Flat ignores the orientation.
        StyleCase{"flat_vertical", Flat, 50, 1, 60, 17, {{29, 8, L(180)}, {30, 8, White}}},
        // Etched: outer shadow over highlight, inner highlight over shadow; gradient columns
        // 2..2 + round(P / 100 * 56), rows 2..13, L(140) -> L(200).
        StyleCase{"etched_0",
                  Etched,
                  0,
                  0,
                  60,
                  17,
                  {{0, 0, Shadow},
                   {59, 0, White},
                   {0, 16, White},
                   {1, 1, White},
                   {58, 15, Shadow},
                   {58, 1, Shadow},
                   {2, 2, L(140)},
                   {2, 13, L(140)},
                   {2, 14, White},
                   {3, 5, White}}},
        StyleCase{"etched_50",
                  Etched,
                  50,
                  0,
                  60,
                  17,
                  {{2, 5, L(140)},
                   {16, 5, L(170)},
                   {30, 5, L(200)},
                   {31, 5, White},
                   {16, 14, White},
                   {16, 15, Shadow}}},
        StyleCase{"etched_100",
                  Etched,
                  100,
                  0,
                  60,
                  17,
                  {{58, 8, L(200)}, {58, 1, Shadow}, {58, 14, Shadow}, {59, 8, White}, {2, 8, L(140)}}},
        StyleCase{"etched_vertical", Etched, 50, 1, 60, 17, {{30, 5, L(200)}, {31, 5, White}}},
        // Shaded: outline L(10); track rows 2..14 K -> L(100) (8.33 a row); fill right
        // round(P / 101 * W); fill rows 3..14 from L(250); the leading line in L(25).
        StyleCase{"shaded_0",
                  Shaded,
                  0,
                  0,
                  60,
                  17,
                  // The fill gradient runs leftwards from 3 to 0, and the line sits on column 0.
                  {{0, 1, L(10)},
                   {0, 8, L(25)},
                   {1, 3, L(250)},
                   {3, 3, L(250)},
                   {4, 3, L(8)},
                   {4, 2, K},
                   {4, 14, L(100)},
                   {4, 8, L(50)},
                   {1, 1, White},
                   {10, 15, White}}},
        StyleCase{"shaded_50",
                  Shaded,
                  50,
                  0,
                  60,
                  17,
                  {{3, 3, L(250)},
                   {29, 3, L(250)},
                   {30, 3, L(25)},
                   {31, 3, L(8)},
                   {10, 14, K},
                   {30, 15, White},
                   {2, 3, L(8)}}},
        StyleCase{"shaded_100",
                  Shaded,
                  100,
                  0,
                  60,
                  17,
                  {{58, 3, L(250)}, {59, 8, L(25)}, {59, 1, L(10)}, {59, 15, L(10)}, {57, 2, K}}},
        // Dark: black background, outline D(200); gradient columns 2..2 + round(P / 100 * 55),
        // rows 2..14, black -> LightenColor(D(100), 10) = (10, 106, 10).
        StyleCase{
            "dark_0", Dark, 0, 0, 60, 17, {{0, 0, D(200)}, {1, 1, Black}, {2, 5, Black}, {30, 8, Black}}},
        StyleCase{"dark_50",
                  Dark,
                  50,
                  0,
                  60,
                  17,
                  // 27.5 rounds to 28: columns 2..30; column 16 is half way (5, 53, 5).
                  {{2, 5, Black},
                   {16, 5, gfx::rgb(5, 53, 5)},
                   {30, 5, gfx::rgb(10, 106, 10)},
                   {30, 14, gfx::rgb(10, 106, 10)},
                   {30, 15, Black},
                   {31, 5, Black},
                   {59, 16, D(200)}}},
        StyleCase{"dark_100",
                  Dark,
                  100,
                  0,
                  60,
                  17,
                  {{57, 8, gfx::rgb(10, 106, 10)}, {58, 8, Black}, {59, 8, D(200)}}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Patterned, StyleTest,
    ::testing::Values(
        // Hatched: bump edge (light over dark shadow outside, dark shadow over light inside);
        // fill (2, 2, round(P / 101 * W), 15) with horizontal hatching on rows 3 and 11.
        StyleCase{"hatched_0",
                  Hatched,
                  0,
                  0,
                  60,
                  17,
                  {{0, 0, Light},
                   {59, 0, DarkShadow},
                   {1, 1, DarkShadow},
                   {58, 15, Light},
                   {5, 3, White},
                   {2, 2, White}}},
        StyleCase{"hatched_50",
                  Hatched,
                  50,
                  0,
                  60,
                  17,
                  {{5, 3, K},
                   {5, 4, L(140)},
                   {2, 2, L(140)},
                   {5, 11, K},
                   {29, 11, K},
                   {30, 11, White},
                   {29, 14, L(140)},
                   {29, 15, Light}}},
        StyleCase{"hatched_100",
                  Hatched,
                  100,
                  0,
                  60,
                  17,
                  {{58, 3, K}, {58, 4, L(140)}, {58, 15, Light}, {59, 3, DarkShadow}}},
        // Cross hatching: column 4 mod 8 and row 3 mod 8 in K, the rest L(140).
        StyleCase{"hatched_cross",
                  Hatched,
                  100,
                  0,
                  60,
                  17,
                  {{4, 2, K},
                   {12, 9, K},
                   {5, 3, K},
                   {5, 4, L(140)},
                   {11, 10, L(140)},
                   {20, 11, K},
                   {21, 12, L(140)}},
                  4},
        // A pattern number outside 0..5 makes no brush: the fill is left white.
        StyleCase{"hatched_unknown_pattern",
                  Hatched,
                  100,
                  0,
                  60,
                  17,
                  {{5, 3, White}, {5, 4, White}, {0, 0, Light}},
                  9},
        // Pattern without a picture: only the one-pixel sunken border on white.
        StyleCase{"pattern_without_picture_50",
                  Pattern,
                  50,
                  0,
                  60,
                  17,
                  {{0, 0, Shadow},
                   {58, 0, Shadow},
                   {59, 0, White},
                   {0, 16, White},
                   {0, 15, Shadow},
                   {1, 1, White},
                   {10, 8, White}}},
        StyleCase{"pattern_without_picture_0",
                  Pattern,
                  0,
                  0,
                  60,
                  17,
                  {{0, 8, Shadow}, {59, 8, White}, {2, 2, White}}},
        StyleCase{"pattern_without_picture_100", Pattern, 100, 0, 60, 17, {{30, 0, Shadow}, {30, 8, White}}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Glass, StyleTest,
    ::testing::Values(
        // Glass: h = round(14 / 2) = 7; track rows 2..6 white -> silver in steps of 9, rows 7..14
        // silver; fill upper band rows 2..9 L(150) -> D(180), lower band rows 7..14 D(190) -> K;
        // then the XP frame over columns 0..2 and 58..59 and rows 0..2 and 15..16.
        StyleCase{"glass_0", Glass, 0, 0, 60, 17,
                  xpFrame({{3, 5, Grey(228)},
                           {3, 3, Grey(246)},
                           {3, 8, Grey(192)},
                           {57, 5, White},
                           {56, 5, Grey(228)}})},
        StyleCase{"glass_50", Glass, 50, 0, 60, 17,
                  // fill right round(0.5 * 56) = 28: columns 2..27.
                  xpFrame({{10, 3, gfx::rgb(129, 244, 129)},
                           {27, 3, gfx::rgb(129, 244, 129)},
                           {28, 3, Grey(246)},
                           {10, 7, D(190)},
                           {10, 14, K},
                           {28, 14, Grey(192)}})},
        StyleCase{"glass_100", Glass, 100, 0, 60, 17,
                  // fill right 56: columns 2..55; row 5 is line 3 of the upper band (86, 223, 86).
                  xpFrame({{55, 5, gfx::rgb(86, 223, 86)}, {56, 5, Grey(228)}, {57, 5, White}})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PatternStyleTest, PictureIsTiledFromTheSurfaceOriginUpToTheFill)
{
    SystemColors::use(SystemColors::classicTable());
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(qRgb(255, 0, 0));
    picture.setPixel(1, 1, qRgb(0, 0, 255));
    Look look;
    look.scrolling = Pattern;
    look.percent = 50;
    look.color = K;
    look.image = picture;
    gfx::Surface s(60, 17);
    RenderProgressBar(s, 60, 17, look);
    // w = round(50 / 101 * 60) = 30: columns 2..31, rows 2..14.
    EXPECT_EQ(s.pixel(2, 2), 0x0000FFu);
    EXPECT_EQ(s.pixel(3, 3), 0xFF0000u);
    EXPECT_EQ(s.pixel(31, 14), 0x0000FFu);
    EXPECT_EQ(s.pixel(31, 13), 0xFF0000u);
    EXPECT_EQ(s.pixel(32, 8), White);
    EXPECT_EQ(s.pixel(10, 15), White);
    EXPECT_EQ(s.pixel(0, 0), Shadow);
    look.percent = 100;  // w = 59: up to column 60, over the right border
    RenderProgressBar(s, 60, 17, look);
    EXPECT_EQ(s.pixel(59, 5), 0xFF0000u);
    EXPECT_EQ(s.pixel(59, 1), White);
    SystemColors::reset();
}

TEST(BackgroundTest, DarkStyleAloneStartsFromBlack)
{
    SystemColors::use(SystemColors::classicTable());
    for (int style = 0; style <= 9; ++style) {
        Look look;
        look.scrolling = style;
        look.percent = 0;
        look.color = K;
        gfx::Surface s(60, 17, 0x123456);
        RenderProgressBar(s, 60, 17, look);
        // A pixel each style leaves alone at 0 per cent (the shaded and glass tracks span
        // the bar, so theirs lie beside the track).
        const gfx::Point p = style == Shaded  ? gfx::Point{30, 1}
                             : style == Glass ? gfx::Point{57, 5}
                                              : gfx::Point{30, 6};
        EXPECT_EQ(s.pixel(p.x, p.y), style == Dark ? Black : White) << "style " << style;
    }
    SystemColors::reset();
}

}  // namespace
}  // namespace quarbel::progress
