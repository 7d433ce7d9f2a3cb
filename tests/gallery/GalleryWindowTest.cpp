// The gallery window's page follows cScrollBars: its ranges fit the page and the viewport,
// and every way of scrolling moves the page to the bars' values.

#include "gallery/GalleryView.h"
#include "gallery/GalleryWindow.h"

#include <QAction>
#include "TestApp.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>

namespace quarbel::gallery {
namespace {

TEST(GalleryWindowTest, ThePageFollowsTheBarsWhicheverWayTheyAreMoved)
{
    testing::ensureApplication();

    GalleryWindow window;
    window.resize(400, 260);
    window.show();
    QApplication::sendPostedEvents();
    GalleryView& view = window.view();
    cScrollBars& bars = window.scrollBars();
    const QSize page = view.contentSize(), seen = view.viewport()->size();
    ASSERT_GT(page.width(), seen.width());
    ASSERT_GT(page.height(), seen.height());
    EXPECT_EQ(bars.Max(eBar::Horizontal), page.width() - seen.width());
    EXPECT_EQ(bars.Max(eBar::Vertical), page.height() - seen.height());
    EXPECT_EQ(bars.LargeChange(eBar::Vertical), seen.height());

    const auto pageAt = [&] { return -view.content()->pos(); };
    view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(pageAt(), QPoint(0, 20));
    view.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(pageAt(), QPoint(std::min(seen.width(), bars.Max(eBar::Horizontal)), 20));
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(pageAt().y(), bars.Max(eBar::Vertical));
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(pageAt().y(), 0);
    QTest::keyClick(&view, Qt::Key_PageDown);
    EXPECT_EQ(pageAt().y(), std::min(seen.height(), bars.Max(eBar::Vertical)));

    // A smaller page than the window: nothing left to scroll, the page back at its origin.
    window.resize(page + QSize(200, 200));
    QApplication::sendPostedEvents();
    EXPECT_EQ(bars.Max(eBar::Vertical), 0);
    EXPECT_EQ(pageAt(), QPoint(0, 0));

    // The menu picks the look and shows that the bars can be flat.
    QAction* standard = nullptr;
    QAction* canBeFlat = nullptr;
    for (QAction* a : window.menuBar()->actions().first()->menu()->actions()) {
        if (a->text() == "&Standard")
            standard = a;
        if (a->text() == "Can be flat")
            canBeFlat = a;
    }
    ASSERT_TRUE(standard && canBeFlat);
    EXPECT_EQ(bars.Style(), eStyle::Flat);
    EXPECT_TRUE(canBeFlat->isChecked());
    standard->trigger();
    EXPECT_EQ(bars.Style(), eStyle::Regular);
    EXPECT_TRUE(standard->isChecked());
}

}  // namespace
}  // namespace quarbel::gallery
