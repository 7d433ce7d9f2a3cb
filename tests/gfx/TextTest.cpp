// Text placement in a rectangle with the format flags. The glyph shapes depend on the font, so
// the tests measure with the same font and check where the text lands, not the glyphs.

#include "gfx/Text.h"

#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QGuiApplication>

namespace quarbel::gfx {
namespace {

constexpr Color Ink = 0x0000FF;

class TextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "gfx_tests";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance())
            new QGuiApplication(argc, argv);
    }
    QFont font() const
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(11);
        return f;
    }
    // The bounding box of the ink on the surface, or an empty rectangle.
    static Rect inkBox(const Surface& s)
    {
        Rect box{s.width(), s.height(), 0, 0};
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                if (s.pixel(x, y) == Ink) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::max(box.bottom, y + 1);
                }
        return box.empty() ? Rect{} : box;
    }
};

TEST_F(TextTest, SingleLineIsMeasuredByTheFontsAdvanceAndLineHeight)
{
    const QFontMetrics fm(rasterFont(font()));
    const Size size = measureText(QStringLiteral("45 %"), font(), TextSingleLine);
    EXPECT_EQ(size.width, fm.horizontalAdvance(QStringLiteral("45 %")));
    EXPECT_EQ(size.height, fm.height());
    // Line breaks do not break a single line; prefixes are removed unless asked not to.
    EXPECT_EQ(measureText(QStringLiteral("a\nb"), font(), TextSingleLine).height, fm.height());
    EXPECT_EQ(measureText(QStringLiteral("&Help"), font(), TextSingleLine),
              measureText(QStringLiteral("Help"), font(), TextSingleLine));
    EXPECT_EQ(measureText(QStringLiteral("A&&B"), font(), TextSingleLine),
              measureText(QStringLiteral("A&B"), font(), TextSingleLine | TextNoPrefix));
}

TEST_F(TextTest, WordBreakWrapsAtTheRectangleWidth)
{
    const QFontMetrics fm(rasterFont(font()));
    const int oneWord = fm.horizontalAdvance(QStringLiteral("Destination"));
    Surface s(200, 60);
    const Rect r = drawText(s, QStringLiteral("Destination Destination"), {0, 0, oneWord + 2, 60},
                            TextWordBreak | TextCalcRect, font(), Ink);
    EXPECT_EQ(r.height(), 2 * fm.height());
    EXPECT_EQ(r.width(), oneWord);
    EXPECT_EQ(inkBox(s), Rect{}) << "measuring draws nothing";
    const Rect wide = drawText(s, QStringLiteral("Destination Destination"), {0, 0, 200, 60},
                               TextWordBreak | TextCalcRect, font(), Ink);
    EXPECT_EQ(wide.height(), fm.height());
}

TEST_F(TextTest, CentredSingleLineIsPlacedByIntegerHalves)
{
    const Size size = measureText(QStringLiteral("50 %"), font(), TextSingleLine);
    Surface s(101, 40);
    const Rect placed = drawText(s, QStringLiteral("50 %"), {10, 5, 101, 40},
                                 TextSingleLine | TextCenter | TextVCenter, font(), Ink);
    EXPECT_EQ(placed.left, 10 + (91 - size.width) / 2);
    EXPECT_EQ(placed.top, 5 + (35 - size.height) / 2);
    const Rect ink = inkBox(s);
    ASSERT_FALSE(ink.empty());
    EXPECT_GE(ink.left, placed.left);
    EXPECT_LE(ink.right, placed.right + 1);
    EXPECT_GE(ink.top, placed.top);
    EXPECT_LE(ink.bottom, placed.bottom);
}

TEST_F(TextTest, TextIsClippedToItsRectangleUnlessNoClip)
{
    Surface clipped(100, 20);
    drawText(clipped, QStringLiteral("WWWWWWWW"), {0, 0, 12, 20}, TextSingleLine, font(), Ink);
    const Rect ink = inkBox(clipped);
    ASSERT_FALSE(ink.empty());
    EXPECT_LE(ink.right, 12);
    Surface free(100, 20);
    drawText(free, QStringLiteral("WWWWWWWW"), {0, 0, 12, 20}, TextSingleLine | TextNoClip, font(), Ink);
    EXPECT_GT(inkBox(free).right, 12);
}

TEST_F(TextTest, RightAlignedAndBottomLinesEndAtTheRectangle)
{
    const Size size = measureText(QStringLiteral("Size:"), font(), TextSingleLine);
    Surface s(80, 40);
    const Rect placed = drawText(s, QStringLiteral("Size:"), {0, 0, 80, 40},
                                 TextSingleLine | TextRight | TextBottom, font(), Ink);
    EXPECT_EQ(placed, (Rect{80 - size.width, 40 - size.height, 80, 40}));
}

TEST_F(TextTest, EndEllipsisShortensTextThatDoesNotFit)
{
    Surface s(100, 20);
    const Rect placed = drawText(s, QStringLiteral("A rather long caption"), {0, 0, 40, 20},
                                 TextSingleLine | TextEndEllipsis, font(), Ink);
    EXPECT_LE(placed.width(), 40);
    EXPECT_GT(placed.width(), 0);
}

TEST_F(TextTest, PrefixedCharacterIsUnderlinedBelowTheBaseline)
{
    const QFontMetrics fm(rasterFont(font()));
    Surface plain(80, 20), prefixed(80, 20), doubled(80, 20);
    drawText(plain, QStringLiteral("Help"), {0, 0, 80, 20}, TextSingleLine, font(), Ink);
    drawText(prefixed, QStringLiteral("&Help"), {0, 0, 80, 20}, TextSingleLine, font(), Ink);
    drawText(doubled, QStringLiteral("A&&B"), {0, 0, 80, 20}, TextSingleLine, font(), Ink);
    const int row = fm.ascent() + 1;
    const int hWidth = fm.horizontalAdvance(QStringLiteral("H"));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x) {
            const bool underline = y == row && x < hWidth;
            EXPECT_EQ(prefixed.pixel(x, y), underline ? Ink : plain.pixel(x, y)) << x << "," << y;
        }
    // An escaped ampersand underlines nothing.
    for (int x = 0; x < 80; ++x)
        EXPECT_NE(doubled.pixel(x, row), Ink);
}

}  // namespace
}  // namespace quarbel::gfx
