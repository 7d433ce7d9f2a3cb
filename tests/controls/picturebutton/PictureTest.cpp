// Where the picture and caption go, and how bitmaps and icons are drawn in each state.

#include "PixelGrid.h"
#include "TestApp.h"
#include "controls/picturebutton/ButtonLook.h"
#include "controls/picturebutton/XpB.h"

#include <gtest/gtest.h>

namespace quarbel::picturebutton {
namespace {

using gfx::Rect;
using gfx::rgb;
using gfx::testing::matches;
using gfx::testing::Palette;

constexpr gfx::Color Face = rgb(212, 208, 200);
constexpr gfx::Color Key = rgb(0, 255, 0);
constexpr gfx::Color Red = rgb(255, 0, 0);
constexpr gfx::Color Blue = rgb(0, 0, 255);

// Content A = (4, 4, 96, 36): Aw 92, Ah 32; caption 30 x 13; picture 16 x 16.
TEST(Layout, PicturePositions)
{
    const Rect A{4, 4, 96, 36};
    const Rect previous{1, 2, 3, 4};
    struct Case {
        int position;
        Rect picture;
        Rect caption;
    } cases[] = {
        {Above, {42, 4, 58, 20}, {35, 24, 65, 37}},    // top = 4 + (32 - 33) / 2 = 4
        {LeftOf, {25, 12, 41, 28}, {45, 13, 75, 26}},  // left = 4 + (92 - 50) / 2
        {RightOf, {59, 12, 75, 28}, {25, 13, 55, 26}},
        {Below, {42, 21, 58, 37}, {35, 4, 65, 17}},
        {7, previous, {35, 13, 65, 26}},  // the picture stays where it was
    };
    for (const Case& c : cases) {
        const ContentLayout l = LayoutContent(A, {30, 13}, true, false, {16, 16}, c.position, previous);
        EXPECT_EQ(l.picture, c.picture) << c.position;
        EXPECT_EQ(l.caption, c.caption) << c.position;
    }
    const ContentLayout alone = LayoutContent(A, {0, 13}, true, true, {16, 16}, Above, previous);
    EXPECT_EQ(alone.picture, (Rect{42, 12, 58, 28}));
    const ContentLayout none = LayoutContent(A, {30, 13}, false, false, {16, 16}, Above, previous);
    EXPECT_EQ(none.picture, previous);
    EXPECT_EQ(none.caption, (Rect{35, 13, 65, 26}));
}

class Pictures : public ::testing::Test {
protected:
    void SetUp() override { testing::ensureApplication(); }

    // A 12 x 12 face-only button whose 4 x 4 picture box sits at (4, 4).
    static Look look(const QImage& picture)
    {
        Look l;
        l.W = 12;
        l.H = 12;
        l.buttonStyle = FaceOnly;
        l.surfaceBackColor = Face;
        l.backColor = Face;
        l.picture = picture;
        l.pictureWidth = 4;
        l.pictureHeight = 4;
        l.maskColor = Key;
        return l;
    }
    static gfx::Surface render(const Look& l)
    {
        gfx::Surface s(l.W, l.H);
        RenderPictureButton(s, l);
        return s;
    }
    // 2 x 2: red, key / key, blue.
    static QImage bitmap()
    {
        QImage b(2, 2, QImage::Format_RGB32);
        b.setPixel(0, 0, qRgb(255, 0, 0));
        b.setPixel(1, 0, qRgb(0, 255, 0));
        b.setPixel(0, 1, qRgb(0, 255, 0));
        b.setPixel(1, 1, qRgb(0, 0, 255));
        return b;
    }
};

TEST_F(Pictures, MaskedBitmapIsStretchedWithoutItsKeyColour)
{
    const Palette p{{'.', Face}, {'R', Red}, {'B', Blue}};
    EXPECT_TRUE(matches(render(look(bitmap())),
                        {"............", "............", "............", "............", "....RR......",
                         "....RR......", "......BB....", "......BB....", "............"},
                        p));
}

// Disabled: the shape (every non-key pixel) in white one pixel right and down, then in grey.
TEST_F(Pictures, DisabledBitmapIsEmbossed)
{
    Look l = look(bitmap());
    l.enabled = false;
    const Palette p{{'.', Face}, {'W', rgb(255, 255, 255)}, {'S', rgb(128, 128, 128)}};
    EXPECT_TRUE(matches(
        render(l),
        {"....SS......", "....SSW.....", ".....WSS....", "......SSW...", ".......WW...", "............"}, p,
        0, 4));
}

// Style 2 while hovering: a grey silhouette where the picture belongs and the picture itself
// lifted by 3 pixels; pressed, it is neither lifted nor shifted. Other styles shift it by 1
// while pressed.
TEST_F(Pictures, LiftAndShift)
{
    Look l = look(bitmap());
    l.buttonStyle = Flat;
    l.isHovering = true;
    const gfx::Color hover = rgb(181, 190, 214);
    const Palette p{{'.', hover}, {'R', Red}, {'B', Blue}, {'g', rgb(146, 146, 146)}};
    EXPECT_TRUE(matches(render(l),
                        {"............", ".RR.........", ".RR.........", "...BB.......", "...BBg......",
                         "....gg......", "......gg....", "......gg....", "............"},
                        p));
    l.buttonStyle = FaceOnly;
    l.isHovering = false;
    l.isPressed = true;
    const Palette q{{'.', Face}, {'R', Red}, {'B', Blue}};
    EXPECT_TRUE(
        matches(render(l), {".....RR.....", ".....RR.....", ".......BB...", ".......BB..."}, q, 0, 5));
}

// Pictures with an alpha channel are icons: blended where half transparent, shape by alpha.
TEST_F(Pictures, IconsBlendAndEmbossByTheirAlpha)
{
    QImage icon(4, 4, QImage::Format_ARGB32);
    icon.fill(qRgba(0, 0, 0, 0));
    icon.setPixel(0, 0, qRgba(255, 0, 0, 255));
    icon.setPixel(1, 0, qRgba(0, 255, 0, 255));  // the key colour means nothing to an icon
    icon.setPixel(2, 2, qRgba(0, 0, 255, 255));
    const Palette p{{'.', Face}, {'R', Red}, {'G', Key}, {'B', Blue}};
    EXPECT_TRUE(matches(render(look(icon)), {"....RG......", "............", "......B.....", "............"},
                        p, 0, 4));
    Look l = look(icon);
    l.enabled = false;
    const Palette q{{'.', Face}, {'W', rgb(255, 255, 255)}, {'S', rgb(128, 128, 128)}};
    EXPECT_TRUE(
        matches(render(l), {"....SS......", ".....WW.....", "......S.....", ".......W...."}, q, 0, 4));
}

// The widget lays its content out on every repaint; the picture lands in PictureRect.
TEST_F(Pictures, WidgetDrawsThePictureWhereItsLayoutSaysForEachPosition)
{
    XpB button;
    button.resize(100, 40);
    button.setCaption(QStringLiteral("Go"));
    button.setButtonStyle(FaceOnly);
    button.setMaskColor(0x00FF00);
    button.setPictureWidth(4);
    button.setPictureHeight(4);
    button.setPicture(bitmap());
    const gfx::Size caption = MeasureCaption(QStringLiteral("Go"), button.font(), 92);
    for (int position : {Above, LeftOf, RightOf, Below}) {
        button.setPicturePosition(position);
        const ContentLayout expected =
            LayoutContent({4, 4, 96, 36}, caption, true, false, {4, 4}, position, {});
        EXPECT_EQ(button.PictureRect(), expected.picture) << position;
        EXPECT_EQ(button.CaptionRect(), expected.caption) << position;
        const Rect r = button.PictureRect();
        EXPECT_EQ(button.surface().pixel(r.left, r.top), Red) << position;
        EXPECT_EQ(button.surface().pixel(r.left + 3, r.top + 3), Blue) << position;
        EXPECT_EQ(button.surface().pixel(r.left + 3, r.top), Face) << position;
    }
}

// A picture box far larger than the button draws the visible part only, for bitmaps and
// icons, enabled and disabled.
TEST_F(Pictures, HugePictureBoxIsClippedNotAllocated)
{
    QImage icon(2, 2, QImage::Format_ARGB32);
    icon.fill(qRgba(0, 0, 255, 255));
    for (const QImage& picture : {bitmap(), icon})
        for (bool enabled : {true, false}) {
            Look l = look(picture);
            l.pictureWidth = 1 << 20;
            l.pictureHeight = 1 << 20;
            l.enabled = enabled;
            const gfx::Surface s = render(l);
            // The box is centred on the content: its centre (6, 6) is where the picture's last
            // (bottom-right) pixel begins, blue or its embossed shadow.
            EXPECT_NE(s.pixel(6, 6), Face) << picture.hasAlphaChannel() << enabled;
        }
}

}  // namespace
}  // namespace quarbel::picturebutton
