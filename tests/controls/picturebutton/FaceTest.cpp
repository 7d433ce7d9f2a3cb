// The picture button's faces, pixel by pixel, against colours worked out by hand from the
// drawing rules with the classic system colours: button face (212, 208, 200), highlight
// (10, 36, 106), button shadow (128, 128, 128), button highlight white, 3-D dark shadow
// (64, 64, 64).

#include "PixelGrid.h"
#include "TestApp.h"
#include "controls/picturebutton/ButtonLook.h"
#include "controls/picturebutton/XpB.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace quarbel::picturebutton {
namespace {

using gfx::rgb;
using gfx::testing::matches;
using gfx::testing::Palette;

class Faces : public ::testing::Test {
protected:
    void SetUp() override { testing::ensureApplication(); }

    static gfx::Surface render(const Look& look)
    {
        gfx::Surface s(look.W, look.H, 0x123456);
        RenderPictureButton(s, look);
        return s;
    }
    static Look look(int W, int H, int style, const QString& caption = QString())
    {
        Look l;
        l.W = W;
        l.H = H;
        l.buttonStyle = style;
        l.caption = caption;
        l.surfaceBackColor = rgb(212, 208, 200);
        return l;
    }
    // A row of the given characters: first, `middle` repeated, last.
    static std::string row(const std::string& left, char middle, int count, const std::string& right)
    {
        return left + std::string(count, middle) + right;
    }
};

// ShadeColor(c, a): red and green + a, blue + blue * a / 192 truncated, clamped.
TEST_F(Faces, ShadeColorScalesBlueAndClamps)
{
    struct Case {
        gfx::Color in;
        int a;
        gfx::Color out;
    } cases[] = {
        {rgb(212, 208, 200), 48, rgb(255, 255, 250)},
        {rgb(255, 255, 250), -48, rgb(207, 207, 188)},  // 250 - 62.5 truncated to 62
        {rgb(255, 255, 250), -5, rgb(250, 250, 244)},   // 250 - 6.51 truncated to 6
        {rgb(140, 170, 230), 65, rgb(205, 235, 255)},
        {rgb(10, 20, 30), -50, rgb(0, 0, 23)},  // 30 - 7.8 truncated to 7
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShadeColor(c.in, c.a), c.out) << std::hex << c.in << " " << std::dec << c.a;
}

// The XP face of a 75 x 23 button: base = ShadeColor(face, 48) = (255, 255, 250).
TEST_F(Faces, XPFaceNormal)
{
    const gfx::Surface s = render(look(75, 23, XP, QStringLiteral("Clear")));
    const Palette p{{'D', rgb(64, 64, 64)},    {'W', rgb(255, 255, 255)},  // dark outline; +16 and +10 lines
                    {'a', rgb(250, 250, 244)}, {'b', rgb(245, 245, 237)},  // -5 and -10 columns
                    {'c', rgb(231, 231, 219)}, {'d', rgb(219, 219, 204)},  // -24 and -36 columns
                    {'e', rgb(223, 223, 209)}, {'f', rgb(207, 207, 188)},  // -32 and -48 rows
                    {'g', rgb(244, 244, 236)}};                            // the face at row 10: -11
    EXPECT_TRUE(matches(s, {row("", 'D', 75, "")}, p, 0, 0));
    EXPECT_TRUE(matches(s, {row("DD", 'W', 71, "DD")}, p, 0, 1));
    EXPECT_TRUE(matches(s, {row("Da", 'W', 71, "dD")}, p, 0, 2));
    EXPECT_TRUE(matches(s, {"Dabggg"}, p, 0, 10));
    EXPECT_TRUE(matches(s, {"gggcdD"}, p, 69, 10));
    EXPECT_TRUE(matches(s, {row("Da", 'e', 71, "dD")}, p, 0, 20));
    EXPECT_TRUE(matches(s, {row("DD", 'f', 71, "DD")}, p, 0, 21));
    EXPECT_TRUE(matches(s, {row("", 'D', 75, "")}, p, 0, 22));
}

// With the focus the ring is drawn in P = (140, 170, 230) and its shades, and there is no
// dotted frame.
TEST_F(Faces, XPFaceFocused)
{
    Look l = look(75, 23, XP, QStringLiteral("Clear"));
    l.hasFocus = true;
    const gfx::Surface s = render(l);
    const Palette p{{'D', rgb(64, 64, 64)},    {'P', rgb(140, 170, 230)}, {'t', rgb(205, 235, 255)},
                    {'u', rgb(190, 220, 255)}, {'v', rgb(171, 201, 255)}, {'w', rgb(107, 137, 191)},
                    {'g', rgb(244, 244, 236)}, {'h', rgb(251, 251, 245)}};
    EXPECT_TRUE(matches(s, {row("DD", 't', 71, "DD")}, p, 0, 1));
    EXPECT_TRUE(matches(s, {row("D", 'u', 73, "D")}, p, 0, 2));
    // Row 4: the face darkened by round(-25 * 4 / 23) = -4 at x 3 (column 2 is the ring).
    EXPECT_TRUE(matches(s, {"DPvh"}, p, 0, 4));
    EXPECT_TRUE(matches(s, {"DPvggg"}, p, 0, 10));
    EXPECT_TRUE(matches(s, {"gggvPD"}, p, 69, 10));
    EXPECT_TRUE(matches(s, {row("D", 'P', 73, "D")}, p, 0, 20));
    EXPECT_TRUE(matches(s, {row("DD", 'w', 71, "DD")}, p, 0, 21));
}

// Disabled: base (255, 255, 250); face -24, outline -84, inner corners -72; the caption
// embossed in white one pixel right and down, then in button shadow grey.
TEST_F(Faces, XPFaceDisabledIsFlatWithAnEmbossedCaption)
{
    Look l = look(75, 23, XP, QStringLiteral("Clear"));
    l.enabled = false;
    const gfx::Surface s = render(l);
    const Palette p{{'o', rgb(171, 171, 141)}, {'c', rgb(183, 183, 157)}, {'f', rgb(231, 231, 219)}};
    EXPECT_TRUE(matches(s, {row("", 'o', 75, "")}, p, 0, 0));
    EXPECT_TRUE(matches(s, {row("oc", 'f', 71, "co")}, p, 0, 1));
    EXPECT_TRUE(matches(s, {row("o", 'f', 73, "o")}, p, 0, 2));
    EXPECT_TRUE(matches(s, {row("oc", 'f', 71, "co")}, p, 0, 21));
    int white = 0, grey = 0, other = 0;
    for (int y = 3; y < 20; ++y)
        for (int x = 3; x < 72; ++x) {
            const gfx::Color c = s.pixel(x, y);
            white += c == rgb(255, 255, 255);
            grey += c == rgb(128, 128, 128);
            other += c != rgb(231, 231, 219) && c != rgb(255, 255, 255) && c != rgb(128, 128, 128);
        }
    EXPECT_GT(white, 10);
    EXPECT_GT(grey, white / 2);
    EXPECT_EQ(other, 0);
}

// The rounded region leaves out three pixels at each corner, on the widget too.
TEST_F(Faces, XPRegionCutsTwelveCornerPixels)
{
    const gfx::Region r = MakeRoundRegion(75, 23);
    const std::set<std::pair<int, int>> cut{{0, 0},  {1, 0},  {0, 1},  {73, 0},  {74, 0},  {74, 1},
                                            {0, 22}, {1, 22}, {0, 21}, {73, 22}, {74, 22}, {74, 21}};
    XpB button;
    button.resize(75, 23);
    button.setButtonStyle(XP);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 75; ++x) {
            const bool outside = cut.count({x, y}) > 0;
            EXPECT_EQ(r.contains(x, y), !outside) << x << "," << y;
            EXPECT_EQ(button.mask().contains(QPoint(x, y)), !outside) << x << "," << y;
        }
    button.setButtonStyle(Flat);
    EXPECT_TRUE(button.mask().isEmpty());
}

// Style 2: the whole face follows the state; no border.
TEST_F(Faces, FlatFaceFollowsHoverAndPress)
{
    struct Case {
        bool hover;
        bool pressed;
        bool defaults;
        gfx::Color face;
    } cases[] = {
        {false, false, true, rgb(212, 208, 200)},
        {true, false, true, rgb(181, 190, 214)},  // highlight + (171, 154, 108)
        {true, true, true, rgb(166, 175, 214)},   // highlight + (156, 139, 108)
        {false, true, true, rgb(166, 175, 214)},
        {true, false, false, rgb(0, 0, 255)},  // XPColor_Hover
        {false, true, false, rgb(0, 128, 0)},  // XPColor_Pressed
    };
    for (const Case& c : cases) {
        Look l = look(20, 12, Flat);
        l.isHovering = c.hover;
        l.isPressed = c.pressed;
        l.xpDefaultColors = c.defaults;
        l.xpColorHover = rgb(0, 0, 255);
        l.xpColorPressed = rgb(0, 128, 0);
        gfx::Color back = 0;
        l.surfaceBackColor = rgb(1, 2, 3);  // left over from an earlier state
        const gfx::Surface s = [&] {
            gfx::Surface out(20, 12);
            back = RenderPictureButton(out, l).surfaceBackColor;
            return out;
        }();
        const Palette p{{'F', c.face}};
        EXPECT_TRUE(matches(s, std::vector<std::string>(12, std::string(20, 'F')), p))
            << c.hover << c.pressed << c.defaults;
        EXPECT_EQ(back, c.face);
    }
}

// Styles 0 and 1: a one-pixel raised border with BEVEL 1, four pixels of bevel with BEVEL 3.
TEST_F(Faces, RaisedBorderAndBevel)
{
    Look l = look(20, 12, Bordered);
    const Palette p{{'W', rgb(255, 255, 255)},
                    {'S', rgb(128, 128, 128)},
                    {'.', rgb(212, 208, 200)},
                    // bevel shades of the face, 8 darker each ring outward, 8 lighter each ring outward
                    {'1', rgb(204, 200, 192)},
                    {'2', rgb(196, 192, 184)},
                    {'3', rgb(188, 184, 177)},
                    {'4', rgb(180, 176, 170)},
                    {'a', rgb(220, 216, 208)},
                    {'b', rgb(228, 224, 216)},
                    {'c', rgb(236, 232, 224)},
                    {'d', rgb(244, 240, 232)}};
    EXPECT_TRUE(matches(
        render(l),
        {"WWWWWWWWWWWWWWWWWWWW", "W..................S", "W..................S", "W..................S",
         "W..................S", "W..................S", "W..................S", "W..................S",
         "W..................S", "W..................S", "W..................S", "WSSSSSSSSSSSSSSSSSSS"},
        p));
    l.buttonStyle = 1;
    l.bevel = 3;
    l.bevelDepth = 8;
    EXPECT_TRUE(
        matches(render(l),
                {row("", 'd', 19, "4"), row("d", 'c', 17, "34"), row("dc", 'b', 15, "234"),
                 row("dcb", 'a', 13, "1234"), row("dcba", '.', 12, "1234"), row("dcba", '.', 12, "1234"),
                 row("dcba", '.', 12, "1234"), row("dcba", '.', 12, "1234"), row("dcb", '1', 14, "234"),
                 row("dc", '2', 16, "34"), row("d", '3', 18, "4"), row("", '4', 20, "")},
                p));
}

// A bevel wider than the button: every ring and line of the rule, drawn one by one here,
// gives the same pixels as the drawing that skips what cannot show; and a bevel of any width
// and depth is drawn at all.
TEST_F(Faces, BevelWiderThanTheButton)
{
    const int W = 20, H = 12, n = 60, d = 1;  // 40 steps skipped, colours still changing
    gfx::Surface expected(W, H, rgb(212, 208, 200));
    gfx::Color c = rgb(212, 208, 200);
    for (int k = n; k >= 0; --k) {
        c = ShadeColor(c, -d);
        expected.frameRect({k, k, W - k, H - k}, c);
    }
    c = rgb(212, 208, 200);
    for (int k = n; k >= 0; --k) {
        c = rgb(std::min(255, gfx::red(c) + d), std::min(255, gfx::green(c) + d),
                std::min(255, gfx::blue(c) + d));
        expected.drawLine({k, k}, {W - (k + 1), k}, c);
        expected.drawLine({k, k}, {k, H - (k + 1)}, c);
    }
    Look l = look(W, H, Bordered);
    l.bevel = n;
    l.bevelDepth = d;
    EXPECT_EQ(render(l).image(), expected.image());

    l.bevel = 2147483647;
    l.bevelDepth = 2147483647;
    const gfx::Surface s = render(l);
    EXPECT_EQ(s.pixel(0, 0), rgb(255, 255, 255));
    EXPECT_EQ(s.pixel(0, H - 1), rgb(0, 0, 0));
}

// The dotted focus frame 4 pixels inside, in every style but the XP look.
TEST_F(Faces, FocusFrameInsideTheMargin)
{
    Look l = look(20, 12, FaceOnly);
    l.hasFocus = true;
    const gfx::Surface s = render(l);
    const gfx::Color inverted = rgb(212, 208, 200) ^ 0xFFFFFFu;
    const Palette p{{'.', rgb(212, 208, 200)}, {'x', inverted}};
    EXPECT_TRUE(
        matches(s, {"....................", "....x.x.x.x.x.x.....", "...............x...."}, p, 0, 3));
    l.showFocusRect = false;
    EXPECT_EQ(render(l).pixel(4, 4), rgb(212, 208, 200));
}

}  // namespace
}  // namespace quarbel::picturebutton
