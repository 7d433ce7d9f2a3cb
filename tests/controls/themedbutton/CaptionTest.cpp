// The caption's place in the five alignments, its reading order and its colour by state.

#include "TestApp.h"
#include "controls/themedbutton/ButtonCaption.h"
#include "controls/themedbutton/ButtonRender.h"
#include "gfx/Text.h"

#include <gtest/gtest.h>

namespace quarbel::themed {
namespace {

QFont captionFont()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    return f;
}

// Columns and rows that hold a pixel other than the background.
gfx::Rect ink(const gfx::Surface& s, gfx::Color background)
{
    gfx::Rect r{s.width(), s.height(), 0, 0};
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.pixel(x, y) != background)
                r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1),
                     std::max(r.bottom, y + 1)};
    return r;
}

class Caption : public ::testing::Test {
protected:
    void SetUp() override { testing::ensureWidgetsWithClassicColors(); }
    static constexpr int W = 81, H = 25, M = 4;
    gfx::Size text() const
    {
        return gfx::measureText(QStringLiteral("Source"), captionFont(), gfx::TextWordBreak, W - 8);
    }
};

TEST_F(Caption, AlignmentsPlaceTheMeasuredText)
{
    const gfx::Size t = text();
    ASSERT_GT(t.width, 0);
    const auto place = [&](int align) {
        return LayoutCaption(QStringLiteral("Source"), captionFont(), W, H, align, M, false);
    };
    const auto centre = place(AlignCenter);
    ASSERT_TRUE(centre);
    EXPECT_EQ(centre->format, 21u);
    // The rectangle is the text's width plus 4, centred on (W - 4) / 2: the inset's left
    // edge is taken off once.
    EXPECT_EQ(centre->rect.width(), t.width + 4);
    EXPECT_NEAR(centre->rect.left + centre->rect.right, W - 4, 1);

    const auto left = place(AlignLeft);
    EXPECT_EQ(left->format, 20u);
    EXPECT_EQ(left->rect.left, M);
    EXPECT_EQ(left->rect.right, 4 + t.width + M);

    const auto right = place(AlignRight);
    EXPECT_EQ(right->format, 22u);
    EXPECT_EQ(right->rect.right, W - 4 - M);

    const auto top = place(AlignTop);
    EXPECT_EQ(top->format, 17u);
    EXPECT_EQ(top->rect.top, M / 2);
    EXPECT_EQ(top->rect.height(), t.height);

    const auto bottom = place(AlignBottom);
    EXPECT_EQ(bottom->format, 25u);
    EXPECT_EQ(bottom->rect.bottom, H - M / 2);
    EXPECT_EQ(bottom->rect.height(), t.height);

    // The vertical middle is three pixels below the arithmetic one.
    EXPECT_EQ(left->rect.top, gfx::roundEven((H - (4 + t.height) - 4) / 2.0) + 3);
    EXPECT_FALSE(place(5).has_value());
    EXPECT_EQ(withReadingOrder(20, true), 20u | 0x20000u);
}

TEST_F(Caption, DrawnInsideItsRectangleInTheStatesColour)
{
    ButtonLook look;
    look.width = W;
    look.height = H;
    look.caption = QStringLiteral("Source");
    look.font = captionFont();
    const auto left = LayoutCaption(look.caption, look.font, W, H, AlignLeft, M, false);
    look.captionRect = left->rect;
    look.captionFormat = left->format;
    look.useCustomColors = true;
    look.fontColor = 0x0000FF;
    look.fontHighlightColor = 0x00FF00;
    const gfx::Color background = 0xFFFFFF;

    struct Case {
        int state;
        bool custom;
        gfx::Color color;
    };
    for (const Case& c :
         {Case{Normal, true, 0x0000FF}, Case{Hot, true, 0x00FF00}, Case{Pressed, true, 0x00FF00},
          Case{Disabled, true, 0x808080}, Case{Hot, false, 0x000000}, Case{Disabled, false, 0x808080}}) {
        look.state = c.state;
        look.useCustomColors = c.custom;
        gfx::Surface s(W, H, background);
        DrawCaption(s, look);
        const gfx::Rect r = ink(s, background);
        ASSERT_FALSE(r.empty());
        EXPECT_GE(r.left, left->rect.left);
        EXPECT_LE(r.right, left->rect.right);
        EXPECT_GE(r.top, left->rect.top);
        bool onlyTheColour = true;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                onlyTheColour = onlyTheColour && (s.pixel(x, y) == background || s.pixel(x, y) == c.color);
        EXPECT_TRUE(onlyTheColour) << "state " << c.state;
    }
}

TEST_F(Caption, RightToLeftReadingMovesTheNeutralsToTheLeft)
{
    ButtonLook look;
    look.width = W;
    look.height = H;
    look.caption = QStringLiteral("Go!");
    look.font = captionFont();
    const auto place = LayoutCaption(look.caption, look.font, W, H, AlignLeft, M, true);
    look.captionRect = place->rect;
    look.captionFormat = withReadingOrder(place->format, true);
    gfx::Surface rtl(W, H, 0xFFFFFF);
    DrawCaption(rtl, look);
    look.captionFormat = place->format;
    gfx::Surface ltr(W, H, 0xFFFFFF);
    DrawCaption(ltr, look);
    EXPECT_NE(rtl.image(), ltr.image());
    // The same glyphs in another order: the same extent.
    EXPECT_EQ(ink(rtl, 0xFFFFFF).width(), ink(ltr, 0xFFFFFF).width());
    // The exclamation mark, a thin upright stroke, is now the leftmost column of ink: the first
    // ink column holds no pixel where "G" has its widest rows but the mark has none.
    const gfx::Rect r = ink(rtl, 0xFFFFFF);
    int inkInFirstColumn = 0;
    for (int y = r.top; y < r.bottom; ++y)
        inkInFirstColumn += rtl.pixel(r.left, y) != 0xFFFFFF;
    int inkInFirstColumnLtr = 0;
    const gfx::Rect l = ink(ltr, 0xFFFFFF);
    for (int y = l.top; y < l.bottom; ++y)
        inkInFirstColumnLtr += ltr.pixel(l.left, y) != 0xFFFFFF;
    EXPECT_NE(inkInFirstColumn, inkInFirstColumnLtr);
}

}  // namespace
}  // namespace quarbel::themed
