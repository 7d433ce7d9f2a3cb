// Styles 7 to 10 and the window regions of the hand-drawn styles, worked out by hand. The
// button face is the classic 0xC8D0D4 (R 212, G 208, B 200) and the highlight 0x6A240A
// (R 10, G 36, B 106); W x H is 81 x 25.

#include "controls/themedbutton/GlossyStyles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarbel::themed {
namespace {

constexpr int W = 81, H = 25;

struct Probe {
    int x, y;
    gfx::Color color;
};

gfx::Surface draw(int style, FaceState state, bool focus, int w = W, int h = H)
{
    GlossyLook look;
    look.style = style;
    look.state = state;
    look.hasFocus = focus;
    look.buttonFace = 0xC8D0D4;
    look.highlight = 0x6A240A;
    gfx::Surface s(w, h, 0x123456);
    EXPECT_TRUE(DrawGlossyFace(s, w, h, look));
    return s;
}

void expectProbes(const gfx::Surface& s, const std::vector<Probe>& probes, const std::string& what)
{
    for (const Probe& p : probes)
        EXPECT_EQ(s.pixel(p.x, p.y), p.color)
            << what << std::hex << " at (" << std::dec << p.x << ", " << p.y << ")";
}

// Style 8 with E = K = face: the frame is E - 48 = 0x98A0A4, or E - 96 = 0x687074 with focus
// (not when pressed); the outer shadow G = F + 21 and the outer diagonal G + 15.
TEST(SystemFlatGradient, FocusDarkensTheFrameBy96InsteadOf48)
{
    struct Case {
        const char* name;
        FaceState state;
        bool focus;
        gfx::Color frame, shadow, diagonal;
    };
    for (const Case& c : {Case{"normal", FaceState::Normal, false, 0x98A0A4, 0xADB5B9, 0xBCC4C8},
                          Case{"normal_focus", FaceState::Normal, true, 0x687074, 0x7D8589, 0x8C9498},
                          Case{"hot_focus", FaceState::Hot, true, 0x687074, 0x7D8589, 0x8C9498},
                          Case{"pressed_focus", FaceState::Pressed, true, 0x98A0A4, 0xADB5B9, 0xBCC4C8}}) {
        const gfx::Surface s = draw(SystemFlatGradient, c.state, c.focus);
        expectProbes(s, {{2, 0, c.frame},      {77, 0, c.frame},
                         {0, 2, c.frame},      {0, 21, c.frame},
                         {40, 23, c.frame},    {79, 12, c.frame},
                         {1, 1, c.frame},      {1, 22, c.frame},
                         {78, 1, c.frame},     {78, 22, c.frame},
                         {40, 24, c.shadow},   {80, 12, c.shadow},
                         {77, 24, c.shadow},   {78, 23, c.shadow},
                         {79, 22, c.shadow},   {80, 21, c.shadow},
                         {78, 24, c.diagonal}, {79, 23, c.diagonal},
                         {80, 22, c.diagonal}, {0, 0, c.state == FaceState::Normal ? 0xC8D0D4u : 0xD7DFE3u}},
                     c.name);
    }
    // The inner lines: light top-left and plain bottom-right, swapped when pressed
    // (pressed K = face + 15 = 0xD7DFE3, and K + 96 is white).
    const gfx::Surface normal = draw(SystemFlatGradient, FaceState::Normal, false);
    expectProbes(normal, {{40, 1, 0xFFFFFF}, {1, 12, 0xFFFFFF}, {40, 22, 0xC8D0D4}, {40, 2, 0xD7DFE3}},
                 "normal");
    const gfx::Surface pressed = draw(SystemFlatGradient, FaceState::Pressed, false);
    expectProbes(pressed, {{40, 1, 0xD7DFE3}, {1, 12, 0xD7DFE3}, {40, 22, 0xFFFFFF}, {40, 2, 0xC8D0D4}},
                 "pressed");
}

// Style 7: B = E + 8 (Normal) = 0xD0D8DC; the frame B - 96 = 0x70787C; the outer corner
// pixels E - 21 = 0xB3BBBF; the ring's top and left lines R + 21 = 0x7F391F when hot or when
// focused in the Normal state.
TEST(SystemGlossy, FrameCornersAndRing)
{
    const std::vector<Probe> frame{{2, 0, 0x70787C},   {40, 24, 0x70787C}, {0, 12, 0x70787C},
                                   {80, 12, 0x70787C}, {1, 1, 0x70787C},   {79, 23, 0x70787C},
                                   {1, 0, 0xB3BBBF},   {0, 1, 0xB3BBBF},   {80, 23, 0xB3BBBF},
                                   {79, 24, 0xB3BBBF}, {0, 0, 0xD0D8DC}};
    expectProbes(draw(SystemGlossy, FaceState::Normal, false), frame, "normal");
    const gfx::Surface focused = draw(SystemGlossy, FaceState::Normal, true);
    expectProbes(focused, {{40, 1, 0x7F391F}, {1, 12, 0x7F391F}}, "normal_focus");
    // Hot: B = E + 24, frame B - 96 = 0x80888C.
    expectProbes(draw(SystemGlossy, FaceState::Hot, false), {{40, 0, 0x80888C}, {40, 1, 0x7F391F}}, "hot");
    const gfx::Surface pressed = draw(SystemGlossy, FaceState::Pressed, true);
    EXPECT_NE(pressed.pixel(40, 1), 0x7F391Fu);
    EXPECT_NE(pressed.pixel(1, 12), 0x7F391Fu);
}

// Style 9: K = face - 15 (Normal) = 0xB9C1C5 or face + 1 (Hot) = 0xC9D1D5; the face runs from
// K + 32 at row 2 to K - 32 at row H - 4; the left highlight from K + 128 (white) at row 0 to
// K - 128 at row H - 4.
TEST(SystemRaisedGradient, FaceAndLeftHighlight)
{
    expectProbes(draw(SystemRaisedGradient, FaceState::Normal, false),
                 {{40, 2, 0xD9E1E5}, {40, 21, 0x99A1A5}, {0, 0, 0xFFFFFF}, {0, 21, 0x394145}}, "normal");
    expectProbes(draw(SystemRaisedGradient, FaceState::Hot, false), {{40, 2, 0xE9F1F5}}, "hot");
}

// Style 10: the centre (18, 11, W - 34, H - 19) in the face's colour; the grey face's left band
// columns 0..3 are 0xF7F7F7, 0xA0A0A0, 0x999999, 0xC3C3C3 from row 11 down to H - 11.
TEST(RoundedPixmap, FaceByStateAndFocus)
{
    struct Case {
        const char* name;
        FaceState state;
        bool focus;
        gfx::Color centre;
    };
    for (const Case& c : {Case{"normal", FaceState::Normal, false, 0xEAE7E8},
                          Case{"disabled", FaceState::Disabled, false, 0xEAE7E8},
                          Case{"hot", FaceState::Hot, false, 0xE2A66A},
                          Case{"normal_focus", FaceState::Normal, true, 0xE2A66A},
                          Case{"disabled_focus", FaceState::Disabled, true, 0xE2A66A},
                          Case{"pressed", FaceState::Pressed, false, 0xCC9B6A}}) {
        const gfx::Surface s = draw(RoundedPixmap, c.state, c.focus);
        expectProbes(s, {{18, 11, c.centre}, {64, 16, c.centre}, {40, 13, c.centre}}, c.name);
    }
    expectProbes(draw(RoundedPixmap, FaceState::Normal, false),
                 {{0, 11, 0xF7F7F7}, {1, 11, 0xA0A0A0}, {2, 13, 0x999999}, {3, 14, 0xC3C3C3}}, "grey band");
}

TEST(RoundedPixmap, SmallSurfaceStillGetsItsCorners)
{
    // 20 x 20: the centre fill is -14 x 1 wide and fills nothing; the grey corner maps still
    // draw the halo and outline columns 0 and 1 of the grey face's side, the outline mirrored at x = W - 1.
    const gfx::Surface s = draw(RoundedPixmap, FaceState::Normal, false, 20, 20);
    expectProbes(s, {{1, 9, 0xA0A0A0}, {19, 9, 0xA0A0A0}, {0, 9, 0xF7F7F7}}, "20x20");
}

// The regions hold the pixels whose centres lie inside the polygon (a centre on the left or
// top boundary counts, one on the right or bottom does not).
TEST(ButtonRegion, CutAndRoundedCorners)
{
    struct Row {
        int y, first, last;
    };
    struct Case {
        const char* name;
        int style;
        std::vector<Row> rows;
    };
    // 5 and 7: (0, 1), (1, 0), (80, 0), (81, 1), (81, 23), (79, 25), (2, 25), (0, 23).
    const std::vector<Row> cut{{0, 0, 79}, {1, 0, 80}, {12, 0, 80}, {22, 0, 80}, {23, 0, 79}, {24, 1, 78}};
    // 8 and 9: (0, 2), (2, 0), (78, 0), (81, 3), (81, 22), (78, 25), (4, 25), (0, 21).
    const std::vector<Row> wide{{0, 1, 77},  {1, 0, 78},  {2, 0, 79},  {3, 0, 80},
                                {21, 0, 80}, {22, 1, 79}, {23, 2, 78}, {24, 3, 77}};
    // 10: the rounded rectangle (0, 0, 82, 26) with 9-pixel corner radii; row 0 is inset by
    // ceil(9 - 9 * sqrt(1 - 8.5^2 / 81) - 0.5) = 6, row 24 by ceil(9 - 9 * sqrt(1 - 7.5^2 / 81) - 0.5)
    // = 4; the rows in between are whole and reach past the surface to x = 81.
    const std::vector<Row> round{{0, 6, 75}, {12, 0, 81}, {24, 4, 77}};
    for (const Case& c :
         {Case{"fixed", FixedGlossy, cut}, Case{"system", SystemGlossy, cut},
          Case{"flat", SystemFlatGradient, wide}, Case{"raised", SystemRaisedGradient, wide},
          Case{"pill", RoundedPixmap, round}, Case{"classic", Classic3D, {{0, 0, 80}, {24, 0, 80}}},
          Case{"theme", WindowsTheme, {{0, 0, 80}, {24, 0, 80}}}}) {
        const gfx::Region r = ButtonRegion(c.style, W, H);
        for (const Row& row : c.rows) {
            EXPECT_FALSE(r.contains(row.first - 1, row.y)) << c.name << " row " << row.y;
            EXPECT_TRUE(r.contains(row.first, row.y)) << c.name << " row " << row.y;
            EXPECT_TRUE(r.contains(row.last, row.y)) << c.name << " row " << row.y;
            EXPECT_FALSE(r.contains(row.last + 1, row.y)) << c.name << " row " << row.y;
        }
        EXPECT_FALSE(r.contains(0, H)) << c.name;
    }
}

TEST(GlossyFace, OtherStylesDrawNothing)
{
    gfx::Surface s(10, 10, 0x123456);
    GlossyLook look;
    for (int style : {int(Classic3D), int(HighlightFill), int(WindowsTheme), 11, -1}) {
        look.style = style;
        EXPECT_FALSE(DrawGlossyFace(s, 10, 10, look));
    }
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(s.pixel(x, y), 0x123456u);
}

}  // namespace
}  // namespace quarbel::themed
