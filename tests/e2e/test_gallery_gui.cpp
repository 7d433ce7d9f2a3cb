// The control gallery as a person meets it in the X server: it opens with its page larger
// than the window, and a click on the scroll bar's down arrow, a turn of the wheel, Page Down,
// Home and a drag of the thumb each move the page, as screenshots from the server show.

#include "support/WindowE2E.h"
#include "support/XDriver.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QSet>
#include <iostream>

using namespace quarbel;

namespace {

constexpr int LineStep = 20;   // what one arrow click moves the page
constexpr int BarExtent = 14;  // the Fusion style's scroll bar thickness
constexpr int Top = 40;        // below the menu bar
const QSize WindowSize(400, 260);

// The part of the window where only the page is seen: below the menu, inside the bars.
QRect pageArea()
{
    return QRect(0, Top, WindowSize.width() - BarExtent - 4, WindowSize.height() - BarExtent - 4 - Top);
}

// How far the page moved up between two screenshots of the window: the shift under which the
// rows of `after` match the rows of `before` further down, or -1 when no shift fits.
int upwardShift(const QImage& before, const QImage& after)
{
    const QRect area = pageArea();
    int best = -1;
    double bestRatio = 0;
    for (int dy = 0; dy < area.height() - 20; ++dy) {
        qint64 same = 0, all = 0;
        for (int y = area.top(); y + dy <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x, ++all)
                same += after.pixel(x, y) == before.pixel(x, y + dy);
        const double ratio = double(same) / double(all);
        if (ratio > bestRatio) {
            bestRatio = ratio;
            best = dy;
        }
    }
    return bestRatio >= 0.98 ? best : -1;
}

class GalleryGui : public ::testing::Test {
protected:
    void SetUp() override
    {
        e2e::ensureApplication();
        ASSERT_TRUE(
            gallery.start(QStringLiteral("src/gallery/quarbel-gallery"), {}, {"QT_STYLE_OVERRIDE=Fusion"}));
        ASSERT_TRUE(e2e::resizeWindow(gallery.window(), WindowSize));
        ASSERT_TRUE(settled(&shot)) << "the window keeps changing";
    }
    // Waits until two screenshots of the window in a row agree, and returns the last.
    bool settled(QImage* out)
    {
        QImage last;
        return e2e::waitUntil([&] {
            const QImage now = e2e::screenshot(e2e::windowGeometry(gallery.window()));
            const bool same = !last.isNull() && now == last;
            last = now;
            *out = now;
            return same;
        });
    }
    // Waits until the page has moved from where `shot` shows it; returns the shift (or the
    // last one seen) and keeps the new screenshot in `shot`.
    int moved()
    {
        int shift = 0;
        e2e::waitUntil([&] {
            QImage now;
            if (!settled(&now) || now == shot)
                return false;
            shift = upwardShift(shot, now);
            shot = now;
            return true;
        });
        return shift;
    }

    e2e::XProgram gallery;
    QImage shot;
};

TEST_F(GalleryGui, ArrowWheelKeysAndThumbEachMoveThePage)
{
    EXPECT_EQ(e2e::windowName(gallery.window()), "Quarbel control gallery");
    const QImage first = shot;
    // The page shows the controls: many colours, not an empty background.
    QSet<QRgb> colours;
    const QImage page = first.copy(pageArea());
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            colours.insert(page.pixel(x, y));
    EXPECT_GT(colours.size(), 20);
    e2e::saveArtifact(first, QStringLiteral("gallery-start.png"));

    // The down arrow: the bottom of the vertical bar, above the horizontal one.
    e2e::click(gallery.toScreen(
        QPoint(WindowSize.width() - BarExtent / 2, WindowSize.height() - BarExtent - BarExtent / 2)));
    EXPECT_EQ(moved(), LineStep) << "one arrow click moves the page one line";

    // The wheel over the page: three lines a notch.
    e2e::wheel(gallery.toScreen(QPoint(60, WindowSize.height() / 2)), 1);
    EXPECT_EQ(moved(), QApplication::wheelScrollLines() * LineStep) << "one notch of the wheel";

    // Page Down with the keyboard: a whole page, so nothing of the old view is left to match.
    const QImage beforePage = shot;
    e2e::focusWindow(gallery.window());
    e2e::key(QStringLiteral("Page_Down"));
    const int paged = moved();
    EXPECT_NE(paged, 0) << "Page Down moved the page";
    EXPECT_NE(shot.copy(pageArea()), beforePage.copy(pageArea()));
    // The menu bar above the page stayed where it was.
    EXPECT_EQ(shot.copy(0, 0, WindowSize.width(), Top / 2), first.copy(0, 0, WindowSize.width(), Top / 2));
    const QString path = e2e::saveArtifact(shot, QStringLiteral("gallery-scrolled.png"));
    EXPECT_FALSE(path.isEmpty());
    std::cout << "gallery screenshot written to " << path.toStdString() << std::endl;

    // Home brings the page back to its start, as it was first shown.
    e2e::key(QStringLiteral("Home"));
    moved();
    EXPECT_EQ(shot.copy(pageArea()), first.copy(pageArea()));

    // Dragging the thumb, now at the top of the track below the up arrow, moves the page down:
    // by more than a screen when the page is long, so the test looks for a change, not a shift.
    const QImage beforeDrag = shot;
    const QPoint thumb(WindowSize.width() - BarExtent / 2, Top + 8);
    e2e::drag(gallery.toScreen(thumb), gallery.toScreen(thumb + QPoint(0, 30)));
    EXPECT_NE(moved(), 0) << "the page follows the thumb";
    EXPECT_NE(shot.copy(pageArea()), beforeDrag.copy(pageArea()));
}

}  // namespace
