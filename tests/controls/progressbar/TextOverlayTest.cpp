// The percentage text: its placement, its colours and the contrast split over the fill.

#include "controls/common/SystemColors.h"
#include "controls/progressbar/ProgressMath.h"
#include "controls/progressbar/ProgressStyles.h"
#include "gfx/Text.h"

#include <QGuiApplication>
#include "TestApp.h"

#include <gtest/gtest.h>

namespace quarbel::progress {
namespace {

constexpr gfx::Color K = 0x00FF00;
constexpr gfx::Color NormalInk = 0x000040;
constexpr gfx::Color DarkInk = 0xC0C0C0;

// Where the pixels of one colour lie.
struct Ink {
    int count = 0;
    gfx::Rect box{1 << 20, 1 << 20, -1, -1};
};

Ink inkOf(const gfx::Surface& s, gfx::Color c, const gfx::Rect& area)
{
    Ink ink;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (s.pixel(x, y) == c) {
                ++ink.count;
                ink.box.left = std::min(ink.box.left, x);
                ink.box.top = std::min(ink.box.top, y);
                ink.box.right = std::max(ink.box.right, x + 1);
                ink.box.bottom = std::max(ink.box.bottom, y + 1);
            }
    return ink;
}

class TextOverlayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testing::ensureApplication();
        SystemColors::use(SystemColors::classicTable());
    }
    static void TearDownTestSuite() { SystemColors::reset(); }

    Look look(int style, int percent) const
    {
        Look l;
        l.scrolling = style;
        l.percent = percent;
        l.color = K;
        l.showText = true;
        l.font = QFont(QStringLiteral("DejaVu Sans"));
        l.font.setPixelSize(11);
        return l;
    }
    // The centred text rectangle as the overlay computes it.
    gfx::Rect textRect(const Look& l, int W, int H) const
    {
        const gfx::Size size = gfx::measureText(PercentText(l), l.font, gfx::TextSingleLine);
        const int left = gfx::roundEven(W / 2.0 - size.width / 2.0);
        const int top = gfx::roundEven(H / 2.0 - size.height / 2.0);
        return {left, top, left + size.width, top + size.height};
    }
    gfx::Surface render(const Look& l, int W, int H) const
    {
        gfx::Surface s(W, H);
        RenderProgressBar(s, W, H, l);
        return s;
    }
};

TEST_F(TextOverlayTest, TextReadsThePercentageOrTheBusyMessage)
{
    EXPECT_EQ(PercentText(look(Flat, 45)), QStringLiteral("45 %"));
    EXPECT_EQ(PercentText(look(Flat, 0)), QStringLiteral("0 %"));
    EXPECT_EQ(PercentText(look(XPBusy, 45)), QStringLiteral("Gathering Required Information"));
}

TEST_F(TextOverlayTest, TextIsCentredInTheNormalColour)
{
    const Look l = look(Flat, 50);
    const gfx::Surface s = render(l, 200, 30);
    const gfx::Rect r = textRect(l, 200, 30);
    const Ink ink = inkOf(s, NormalInk, s.bounds());
    ASSERT_GT(ink.count, 10);
    EXPECT_GE(ink.box.left, r.left);
    EXPECT_LE(ink.box.right, r.right);
    EXPECT_GE(ink.box.top, r.top);
    EXPECT_LE(ink.box.bottom, r.bottom);
    // Roughly symmetric about the middle of the bar.
    EXPECT_LE(std::abs((ink.box.left + ink.box.right) - 200), 6);
}

TEST_F(TextOverlayTest, WithoutShowTextNothingOfTheTextIsDrawn)
{
    Look l = look(Flat, 50);
    l.showText = false;
    gfx::Surface withText = render(look(Flat, 50), 200, 30);
    gfx::Surface without = render(l, 200, 30);
    EXPECT_EQ(inkOf(without, NormalInk, without.bounds()).count, 0);
    EXPECT_NE(withText.image(), without.image());
}

TEST_F(TextOverlayTest, BusyMessageIsCentredWhateverTheValue)
{
    for (int percent : {0, 37, 100}) {
        const Look l = look(XPBusy, percent);
        const gfx::Surface s = render(l, 300, 30);
        const gfx::Rect r = textRect(l, 300, 30);
        const Ink ink = inkOf(s, NormalInk, s.bounds());
        ASSERT_GT(ink.count, 30) << percent;
        EXPECT_GE(ink.box.left, r.left);
        EXPECT_LE(ink.box.right, r.right);
        // A long text: its ink spans most of the measured width.
        EXPECT_GT(ink.box.right - ink.box.left, r.width() - 6);
    }
}

TEST_F(TextOverlayTest, GlassSplitsTheTextAtTheFillsEnd)
{
    // Fill end x = 0.5 * 200 = 100 lies inside the text: left of it white, right of it the normal ink.
    const Look l = look(Glass, 50);
    const gfx::Surface s = render(l, 200, 30);
    const gfx::Rect r = textRect(l, 200, 30);
    ASSERT_LT(r.left, 100);
    ASSERT_GT(r.right, 100);
    const Ink normal = inkOf(s, NormalInk, s.bounds());
    ASSERT_GT(normal.count, 0);
    EXPECT_GE(normal.box.left, 100);
    // White glyph pixels over the green fill (fill columns 2..97).
    const Ink contrast = inkOf(s, 0xFFFFFF, {r.left, r.top, std::min(r.right, 98), r.bottom});
    EXPECT_GT(contrast.count, 0);
}

TEST_F(TextOverlayTest, DarkStyleWithTheFillPastTheTextShowsOnlyTheContrastColour)
{
    const Look l = look(Dark, 100);
    const gfx::Surface s = render(l, 200, 30);
    EXPECT_EQ(inkOf(s, DarkInk, s.bounds()).count, 0);
    const Ink contrast = inkOf(s, LightenColor(K, 80), s.bounds());
    EXPECT_GT(contrast.count, 0);
    const gfx::Rect r = textRect(l, 200, 30);
    EXPECT_GE(contrast.box.left, r.left);
    EXPECT_LE(contrast.box.right, r.right);
}

TEST_F(TextOverlayTest, DarkStyleBeforeTheTextShowsOnlyTheNormalColour)
{
    const Look l = look(Dark, 0);
    const gfx::Surface s = render(l, 200, 30);
    EXPECT_GT(inkOf(s, DarkInk, s.bounds()).count, 0);
    EXPECT_EQ(inkOf(s, LightenColor(K, 80), s.bounds()).count, 0);
}

}  // namespace
}  // namespace quarbel::progress
