#include "QtTestApp.h"
#include "imagelist/ListHitTest.h"
#include "imagelist/MenuRules.h"

#include <gtest/gtest.h>
#include <QListWidget>

namespace quarbel::imagelist {
namespace {

// Rows 16 pixels high and 100 wide, stacked from the top as a list box lays them out.
QRect row16(int i) { return QRect(0, 16 * i, 100, 16); }

TEST(GetRClickedItem, FindsTheRowUnderThePoint)
{
    EXPECT_EQ(GetRClickedItem(0, 4, row16, {5, 3}), 0);
    EXPECT_EQ(GetRClickedItem(0, 4, row16, {5, 17}), 1);
    EXPECT_EQ(GetRClickedItem(0, 4, row16, {99, 47}), 2);
    EXPECT_EQ(GetRClickedItem(0, 4, row16, {0, 70}), 4);
}

TEST(GetRClickedItem, SharedLineGoesToTheUpperRowAndEdgesCount)
{
    EXPECT_EQ(GetRClickedItem(0, 4, row16, {5, 16}), 0);
    EXPECT_EQ(GetRClickedItem(0, 4, row16, {5, 32}), 1);
    EXPECT_EQ(GetRClickedItem(0, 4, row16, {100, 40}), 2);  // right edge included
    EXPECT_EQ(GetRClickedItem(0, 4, row16, {5, 80}), 4);    // bottom line of the last row
}

TEST(GetRClickedItem, APointOnNoRowGivesTheFirst)
{
    EXPECT_EQ(GetRClickedItem(0, 4, row16, {5, 81}), 0);    // below the last row
    EXPECT_EQ(GetRClickedItem(0, 4, row16, {101, 40}), 0);  // right of every row
    EXPECT_EQ(GetRClickedItem(0, -1, row16, {5, 5}), 0);    // no rows
}

TEST(GetRClickedItem, OnAListWidgetMatchesTryingEveryRow)
{
    test::ensureApp();
    QListWidget list;
    list.resize(200, 120);
    for (int i = 0; i < 40; ++i)
        list.addItem(QStringLiteral("/pictures/photo%1.jpg").arg(i));
    list.show();
    list.scrollToItem(list.item(12), QAbstractItemView::PositionAtTop);
    const auto rect = [&list](int i) { return list.visualItemRect(list.item(i)); };
    const QRect viewport = list.viewport()->rect();
    for (int y = 0; y < viewport.height(); ++y)
        for (int x : {0, 5, viewport.width() / 2, viewport.width() - 1}) {
            const QPoint p(x, y);
            ASSERT_EQ(GetRClickedItem(&list, p), GetRClickedItem(0, list.count() - 1, rect, p))
                << x << "," << y;
        }
    // the row shown on top after scrolling is the one hit at the top
    EXPECT_EQ(GetRClickedItem(&list, {5, rect(12).y() + 2}), 12);
}

TEST(GetRClickedItem, BelowTheLastItemOfAShortListGivesTheFirst)
{
    test::ensureApp();
    QListWidget list;
    list.resize(200, 160);
    list.addItems({"/a.jpg", "/b.jpg", "/c.jpg"});
    list.show();
    const QRect last = list.visualItemRect(list.item(2));
    EXPECT_EQ(GetRClickedItem(&list, {5, last.bottom() + 10}), 0);
    EXPECT_EQ(GetRClickedItem(&list, {5, last.center().y()}), 2);
    EXPECT_EQ(GetRClickedItem(nullptr, {5, 5}), -1);
}

struct MenuCase {
    int count;
    bool hasCurrent;
    ClipboardImages clipboard;
    ListMenuState expected;
};

class ListMenuTest : public ::testing::TestWithParam<MenuCase> {};

TEST_P(ListMenuTest, EnablesCommandsByCountCurrentItemAndClipboard)
{
    const MenuCase& c = GetParam();
    const ListMenuState m = listMenuFor(c.count, c.hasCurrent, c.clipboard);
    EXPECT_EQ(m.shown, c.expected.shown);
    EXPECT_EQ(m.paste, c.expected.paste);
    EXPECT_EQ(m.remove, c.expected.remove);
    EXPECT_EQ(m.removeAll, c.expected.removeAll);
}

using C = ClipboardImages;
INSTANTIATE_TEST_SUITE_P(Rules, ListMenuTest,
                         ::testing::Values(
                             // empty list: no menu unless the clipboard offers an image, then only Paste
                             MenuCase{0, false, C::None, {false, false, false, false}},
                             MenuCase{0, false, C::Offered, {true, true, false, false}},
                             // one item: Delete only
                             MenuCase{1, true, C::None, {true, false, true, false}},
                             MenuCase{1, true, C::Offered, {true, true, true, false}},
                             // several items: Delete and Delete All
                             MenuCase{5, true, C::None, {true, false, true, true}},
                             MenuCase{5, true, C::Offered, {true, true, true, true}},
                             // a list beyond any 16-bit count behaves the same
                             MenuCase{40000, true, C::None, {true, false, true, true}}));

}  // namespace
}  // namespace quarbel::imagelist
