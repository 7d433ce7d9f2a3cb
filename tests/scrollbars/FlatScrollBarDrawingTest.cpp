// The flat looks of a vertical bar 17 x 100 (arrows 17 high, thumb at 40..59), pixel by pixel
// from the drawing rules, in the classic colours with a scroll bar colour of its own.

#include "controls/common/SystemColors.h"
#include "scrollbars/FlatScrollBarDrawing.h"

#include <gtest/gtest.h>

namespace quarbel {
namespace {

using gfx::rgb;

constexpr gfx::Color Face = rgb(212, 208, 200), Shadow = rgb(128, 128, 128), White = rgb(255, 255, 255),
                     Black = rgb(0, 0, 0), Highlight = rgb(10, 36, 106), Track = rgb(1, 2, 3);

class FlatScrollBarDrawingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SystemColorTable table = SystemColors::classicTable();
        table[ScrollBar] = Track;
        SystemColors::use(table);
        look.subLine = {0, 0, 17, 17};
        look.subPage = {0, 17, 17, 40};
        look.thumb = {0, 40, 17, 60};
        look.addPage = {0, 60, 17, 83};
        look.addLine = {0, 83, 17, 100};
    }
    void TearDown() override { SystemColors::reset(); }
    gfx::Surface draw()
    {
        gfx::Surface s(17, 100, rgb(9, 9, 9));
        drawFlatScrollBar(s, look);
        return s;
    }
    FlatScrollBarLook look;
};

TEST_F(FlatScrollBarDrawingTest, FlatFramesThePartsAndHighlightsTheOneUnderThePointer)
{
    look.style = eStyle::Flat;
    look.hot = ScrollPart::AddLine;
    const gfx::Surface s = draw();
    EXPECT_EQ(s.pixel(8, 20), Track);
    EXPECT_EQ(s.pixel(0, 40), Shadow);  // thumb frame
    EXPECT_EQ(s.pixel(16, 59), Shadow);
    EXPECT_EQ(s.pixel(8, 50), Face);
    // Up arrow: k = (17 - 2) / 3 = 5 lines around (8, 8): y 6..10, tip (8, 6), base 4..12.
    EXPECT_EQ(s.pixel(0, 0), Shadow);
    EXPECT_EQ(s.pixel(8, 6), Black);
    EXPECT_EQ(s.pixel(7, 6), Face);
    EXPECT_EQ(s.pixel(8, 5), Face);
    EXPECT_EQ(s.pixel(4, 10), Black);
    EXPECT_EQ(s.pixel(12, 10), Black);
    EXPECT_EQ(s.pixel(13, 10), Face);
    EXPECT_EQ(s.pixel(8, 11), Face);
    // Down arrow under the pointer, around (8, 91): base y 89 from 4 to 12, tip (8, 93).
    EXPECT_EQ(s.pixel(0, 83), Highlight);
    EXPECT_EQ(s.pixel(4, 89), White);
    EXPECT_EQ(s.pixel(3, 89), Highlight);
    EXPECT_EQ(s.pixel(8, 93), White);
    EXPECT_EQ(s.pixel(7, 93), Highlight);
    EXPECT_EQ(s.pixel(8, 94), Highlight);
}

TEST_F(FlatScrollBarDrawingTest, PressingDarkensThePartAndSilencesTheHotOne)
{
    look.style = eStyle::Flat;
    look.hot = ScrollPart::AddLine;
    look.pressed = ScrollPart::SubPage;
    gfx::Surface s = draw();
    EXPECT_EQ(s.pixel(8, 17), Shadow);
    EXPECT_EQ(s.pixel(8, 39), Shadow);
    EXPECT_EQ(s.pixel(8, 70), Track);
    EXPECT_EQ(s.pixel(1, 84), Face);

    look.pressed = ScrollPart::SubLine;
    s = draw();
    EXPECT_EQ(s.pixel(1, 1), Shadow);
    EXPECT_EQ(s.pixel(8, 6), White);
    EXPECT_EQ(s.pixel(8, 20), Track);
}

TEST_F(FlatScrollBarDrawingTest, EncartaRaisesThePartUnderThePointerAndSinksThePressedOne)
{
    look.style = eStyle::Encarta;
    look.hot = ScrollPart::Thumb;
    gfx::Surface s = draw();
    EXPECT_EQ(s.pixel(0, 0), Face);  // no frame
    EXPECT_EQ(s.pixel(8, 6), Black);
    EXPECT_EQ(s.pixel(0, 40), White);
    EXPECT_EQ(s.pixel(15, 40), White);
    EXPECT_EQ(s.pixel(16, 40), Shadow);
    EXPECT_EQ(s.pixel(0, 59), Shadow);
    EXPECT_EQ(s.pixel(8, 50), Face);

    look.hot = ScrollPart::None;
    look.pressed = ScrollPart::AddLine;
    s = draw();
    EXPECT_EQ(s.pixel(0, 83), Shadow);
    EXPECT_EQ(s.pixel(16, 99), White);
    EXPECT_EQ(s.pixel(0, 40), Face);
}

TEST_F(FlatScrollBarDrawingTest, ADisabledBarHasNoThumbAndGreyArrows)
{
    look.style = eStyle::Flat;
    look.enabled = false;
    look.hot = ScrollPart::Thumb;
    look.pressed = ScrollPart::AddPage;
    const gfx::Surface s = draw();
    EXPECT_EQ(s.pixel(8, 50), Track);
    EXPECT_EQ(s.pixel(8, 70), Track);
    EXPECT_EQ(s.pixel(8, 6), Shadow);  // grey text
    EXPECT_EQ(s.pixel(8, 93), Shadow);
}

TEST_F(FlatScrollBarDrawingTest, HorizontalArrowsPointSideways)
{
    look = {};
    look.vertical = false;
    look.subLine = {0, 0, 17, 17};
    look.addLine = {83, 0, 100, 17};
    look.thumb = {40, 0, 60, 17};
    gfx::Surface s(100, 17);
    drawFlatScrollBar(s, look);
    // Left arrow around (8, 8): columns 6..10, tip (6, 8), base x 10 from y 4 to 12.
    EXPECT_EQ(s.pixel(6, 8), Black);
    EXPECT_EQ(s.pixel(6, 7), Face);
    EXPECT_EQ(s.pixel(10, 4), Black);
    EXPECT_EQ(s.pixel(10, 12), Black);
    // Right arrow around (91, 8): base x 89, tip (93, 8).
    EXPECT_EQ(s.pixel(89, 4), Black);
    EXPECT_EQ(s.pixel(93, 8), Black);
    EXPECT_EQ(s.pixel(93, 7), Face);
}

}  // namespace
}  // namespace quarbel
