// The icon: its place for each alignment, the pressed shift, the lifted shadow of the
// highlight style, the mask colour, and the grey painters.

#include "TestApp.h"
#include "controls/themedbutton/ButtonIcon.h"
#include "controls/themedbutton/ButtonRender.h"

#include <gtest/gtest.h>

namespace quarbel::themed {
namespace {

constexpr gfx::Color Red = 0x0000FF, Blue = 0xFF0000, Bg = 0x123456;

QImage solid(int side, QRgb color, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(side, side, format);
    image.fill(color);
    return image;
}

struct PlaceCase {
    int align, W, H, size, margin;
    gfx::Point at;
};

TEST(IconPosition, EachAlignmentWithHalvesToEven)
{
    const PlaceCase cases[] = {
        {AlignCenter, 40, 24, 16, 3, {12, 4}}, {AlignLeft, 40, 24, 16, 3, {3, 4}},
        {AlignRight, 40, 24, 16, 3, {21, 4}},  {AlignTop, 40, 24, 16, 3, {12, 3}},
        {AlignBottom, 40, 24, 16, 3, {12, 5}}, {7, 40, 24, 16, 3, {0, 0}},
        {AlignCenter, 41, 25, 16, 3, {12, 4}},  // 12.5 and 4.5 go down to even
        {AlignCenter, 43, 27, 16, 3, {14, 6}},  // 13.5 and 5.5 go up to even
        {AlignRight, 17, 20, 16, 3, {-2, 2}},   // narrower than icon and margin: off the left
    };
    for (const PlaceCase& c : cases) {
        const gfx::Point p = IconPosition(c.align, c.W, c.H, c.size, c.margin);
        EXPECT_EQ(p, c.at) << "align " << c.align << " on " << c.W << "x" << c.H;
    }
}

class IconDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::ensureWidgetsWithClassicColors();
        look.width = 12;
        look.height = 10;
        look.iconSize = 2;
        look.iconAlign = AlignLeft;
        look.icon = solid(2, qRgb(255, 0, 0));
    }
    ButtonLook look;
};

TEST_F(IconDrawing, PressedShiftsOneDownAndRight)
{
    gfx::Surface s(12, 10, Bg);
    look.state = Pressed;
    DrawButtonIcon(s, look, 3);
    // Left alignment: (3, 4), shifted to (4, 5).
    EXPECT_EQ(s.pixel(4, 5), Red);
    EXPECT_EQ(s.pixel(5, 6), Red);
    EXPECT_EQ(s.pixel(3, 4), Bg);
    EXPECT_EQ(s.pixel(6, 7), Bg);
}

TEST_F(IconDrawing, NegativePositionIsClipped)
{
    gfx::Surface s(12, 10, Bg);
    look.iconAlign = AlignRight;
    look.iconSize = 4;
    look.icon = solid(4, qRgb(255, 0, 0));
    look.width = 5;
    DrawButtonIcon(s, look, 3);
    // x = 5 - 4 - 3 = -2: only columns 0 and 1 of the surface show the icon.
    EXPECT_EQ(s.pixel(0, 3), Red);
    EXPECT_EQ(s.pixel(1, 3), Red);
    EXPECT_EQ(s.pixel(2, 3), Bg);
}

TEST_F(IconDrawing, HotHighlightStyleLiftsTheIconOverAGreyShadow)
{
    look.style = HighlightFill;
    look.state = Hot;
    gfx::Surface s(12, 10, Bg);
    DrawButtonIcon(s, look, 3);
    // Icon first at (3, 4); every pixel of the 3 x 3 square there that differs from pixel
    // (1, 1) turns grey; the icon itself goes to (1, 2).
    const gfx::Color Grey = 0x808080;
    EXPECT_EQ(s.pixel(3, 4), Grey);
    EXPECT_EQ(s.pixel(4, 5), Grey);
    EXPECT_EQ(s.pixel(5, 6), Bg);
    EXPECT_EQ(s.pixel(1, 2), Red);
    EXPECT_EQ(s.pixel(2, 3), Red);
    EXPECT_EQ(s.pixel(0, 1), Bg);
}

TEST_F(IconDrawing, HotHighlightStyleWithMaskDrawsTheShadowThroughTheMask)
{
    look.style = HighlightFill;
    look.state = Hot;
    look.useMaskColor = true;
    look.maskColor = Blue;
    look.iconSize = 3;
    QImage icon = solid(3, qRgb(255, 0, 0));
    icon.setPixel(2, 2, qRgb(0, 0, 255));  // mask colour: stays transparent
    look.icon = icon;
    gfx::Surface s(12, 10, Bg);
    DrawButtonIcon(s, look, 3);
    // Placed at (3, 4): the shadow at (4, 5), the icon at (2, 3), and after the lift again at
    // (1, 2). Where a copy has the mask colour, what lies below stays.
    const gfx::Color Grey = 0x808080;
    EXPECT_EQ(s.pixel(5, 5), Grey);
    EXPECT_EQ(s.pixel(6, 6), Grey);
    EXPECT_EQ(s.pixel(6, 7), Bg);
    EXPECT_EQ(s.pixel(4, 5), Grey);
    EXPECT_EQ(s.pixel(1, 2), Red);
    EXPECT_EQ(s.pixel(3, 4), Red);
    EXPECT_EQ(s.pixel(0, 1), Bg);
}

TEST_F(IconDrawing, DisabledIconIsGreyedWithOrWithoutMask)
{
    look.enabled = false;
    look.state = Disabled;
    look.icon = solid(2, qRgb(20, 100, 40));
    gfx::Surface plain(12, 10, Bg);
    DrawButtonIcon(plain, look, 3);
    // 100 x 0.59 + 20 x 0.33 + 40 x 0.11 = 70.0
    EXPECT_EQ(plain.pixel(3, 4), gfx::rgb(70, 70, 70));

    look.useMaskColor = true;
    look.maskColor = Blue;
    gfx::Surface masked(12, 10, Bg);
    DrawButtonIcon(masked, look, 3);
    // 100 x 0.59 + round(20 x 0.3) + 40 x 0.11 = 69.4
    EXPECT_EQ(masked.pixel(3, 4), gfx::rgb(69, 69, 69));
}

TEST(PaintIconGrayscale, NeutralGreysStayOtherColoursTurnGrey)
{
    testing::ensureWidgetsWithClassicColors();
    QImage icon(4, 2, QImage::Format_ARGB32);
    icon.setPixel(0, 0, qRgb(0x80, 0x80, 0x80));
    icon.setPixel(1, 0, qRgb(0x90, 0x90, 0x90));
    icon.setPixel(2, 0, qRgb(255, 0, 0));
    icon.setPixel(3, 0, qRgb(255, 255, 255));
    icon.setPixel(0, 1, qRgb(0xF0, 0xF0, 0xF0));
    icon.setPixel(1, 1, qRgb(255, 255, 254));
    icon.setPixel(2, 1, qRgba(0, 0, 0, 0));  // outside the icon's mask
    icon.setPixel(3, 1, qRgb(0, 0, 255));
    gfx::Surface s(6, 4, Bg);
    EXPECT_TRUE(PaintIconGrayscale(s, icon, 1, 1, 2, 4));
    EXPECT_EQ(s.pixel(1, 1), 0x808080u);
    EXPECT_EQ(s.pixel(2, 1), 0x949494u);  // 144 x 1.03 = 148.3
    EXPECT_EQ(s.pixel(3, 1), 0x545454u);  // red 255 x 0.33 = 84.15
    EXPECT_EQ(s.pixel(4, 1), 0xFFFFFFu);
    EXPECT_EQ(s.pixel(1, 2), 0xF0F0F0u);
    EXPECT_EQ(s.pixel(2, 2), 0xFFFFFFu);  // 262.5 is capped at 255
    EXPECT_EQ(s.pixel(3, 2), Bg);
    EXPECT_EQ(s.pixel(4, 2), 0x1C1C1Cu);  // blue 255 x 0.11 = 28.05
    EXPECT_EQ(s.pixel(0, 0), Bg);

    gfx::Surface none;
    EXPECT_FALSE(PaintIconGrayscale(none, icon, 0, 0, 2, 4));
    EXPECT_FALSE(PaintIconGrayscale(s, QImage(), 0, 0, 2, 4));
}

}  // namespace
}  // namespace quarbel::themed
