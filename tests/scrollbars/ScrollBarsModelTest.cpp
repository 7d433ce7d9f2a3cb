// The value model kept in the area's bars, the bars shown and enabled, attaching and
// detaching, and the flat looks where the style allows them.

#include "ScrollFixture.h"

#include <QImage>
#include <QProxyStyle>

namespace quarbel::testing {
namespace {

using ScrollBarsModelTest = ScrollFixture;

TEST_F(ScrollBarsModelTest, MaxIsTheRangeMaximumLessThePageOnBothBars)
{
    for (eBar bar : {eBar::Horizontal, eBar::Vertical}) {
        QScrollBar* sb = qtBar(bar);
        bars->setLargeChange(bar, 10);
        bars->setMax(bar, 100);
        EXPECT_EQ(bars->Max(bar), 100);
        EXPECT_EQ(sb->maximum(), 100);  // the last position
        EXPECT_EQ(sb->pageStep(), 10);
        // A new page keeps Max: the range maximum moves with it.
        bars->setLargeChange(bar, 25);
        EXPECT_EQ(bars->LargeChange(bar), 25);
        EXPECT_EQ(bars->Max(bar), 100);
        // A new minimum keeps Max too.
        bars->setMin(bar, -20);
        EXPECT_EQ(bars->Min(bar), -20);
        EXPECT_EQ(bars->Max(bar), 100);
        bars->setValue(bar, -20);
        EXPECT_EQ(bars->Value(bar), -20);
        // No page is the least page; Max stays.
        bars->setLargeChange(bar, -5);
        EXPECT_EQ(bars->LargeChange(bar), 0);
        EXPECT_EQ(bars->Max(bar), 100);
        // Values beyond the range are kept within it; extreme ones do not overflow.
        bars->setMax(bar, std::numeric_limits<int>::max());
        bars->setLargeChange(bar, 10);
        EXPECT_GE(bars->Max(bar), std::numeric_limits<int>::max() - 10);
    }
}

TEST_F(ScrollBarsModelTest, ValueAndMaxReportAChangeOnlyWhenTheValueMoved)
{
    const eBar v = eBar::Vertical;
    standardRange(v);
    bars->setValue(v, 50);
    EXPECT_TRUE(events.empty());
    bars->setValue(v, 500);  // kept at Max
    EXPECT_EQ(bars->Value(v), 100);
    bars->setMax(v, 80);  // the value follows the smaller range
    EXPECT_EQ(bars->Value(v), 80);
    bars->setMax(v, 90);
    bars->setValue(eBar::Horizontal, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"Change(V)", "Change(V)"}));
}

TEST_F(ScrollBarsModelTest, OrientationShowsItsBarsAndHidesTheOther)
{
    struct Case {
        eOrientation orientation;
        bool horizontal, vertical;
    };
    for (const Case& c :
         {Case{eOrientation::Vertical, false, true}, Case{eOrientation::Horizontal, true, false},
          Case{eOrientation::Both, true, true}}) {
        bars->setOrientation(c.orientation);
        EXPECT_EQ(bars->Orientation(), c.orientation);
        EXPECT_EQ(qtBar(eBar::Horizontal)->isVisible(), c.horizontal);
        EXPECT_EQ(qtBar(eBar::Vertical)->isVisible(), c.vertical);
        EXPECT_EQ(bars->Visible(eBar::Horizontal), c.horizontal);
        EXPECT_EQ(bars->Visible(eBar::Vertical), c.vertical);
    }
    bars->setVisible(eBar::Vertical, false);
    EXPECT_FALSE(qtBar(eBar::Vertical)->isVisible());
    EXPECT_FALSE(bars->Visible(eBar::Vertical));
    bars->setEnabled(eBar::Horizontal, false);
    EXPECT_FALSE(qtBar(eBar::Horizontal)->isEnabled());
    EXPECT_FALSE(bars->Enabled(eBar::Horizontal));
}

TEST_F(ScrollBarsModelTest, DetachingGivesTheBarsBackAsTheyWereAndReattachingMovesTheEvents)
{
    QAbstractScrollArea other;
    other.resize(200, 150);
    other.show();
    other.verticalScrollBar()->setRange(0, 100);
    QApplication::sendPostedEvents();
    const QImage before = other.verticalScrollBar()->grab().toImage();

    bars->Create(&other);
    EXPECT_TRUE(bars->attached());
    bars->setStyle(eStyle::Flat);
    EXPECT_NE(other.verticalScrollBar()->grab().toImage(), before) << "drawn flat while attached";
    bars->setOrientation(eOrientation::Horizontal);
    bars->setEnabled(eBar::Vertical, false);
    bars->setOrientation(eOrientation::Both);
    // The first area no longer reports; the second does.
    area->verticalScrollBar()->setRange(0, 100);
    area->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_TRUE(events.empty());
    bars->setEnabled(eBar::Vertical, true);
    other.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(events, std::vector<std::string>{"Change(V)"});

    bars->setEnabled(eBar::Vertical, false);
    bars->Create(nullptr);
    EXPECT_FALSE(bars->attached());
    EXPECT_EQ(bars->Value(eBar::Vertical), 0);
    other.verticalScrollBar()->setValue(0);
    EXPECT_EQ(other.horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_EQ(other.verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_TRUE(other.verticalScrollBar()->isEnabled());
    QApplication::sendPostedEvents();  // the area lays its bars out again
    EXPECT_EQ(other.verticalScrollBar()->grab().toImage(), before);
    other.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(ScrollBarsModelTest, AnAreaDestroyedWhileAttachedIsForgotten)
{
    bars->setLargeChange(eBar::Vertical, 10);
    area.reset();
    EXPECT_FALSE(bars->attached());
    bars->setValue(eBar::Vertical, 5);
    EXPECT_EQ(bars->Value(eBar::Vertical), 0);
}

// A style whose scroll bars fade in over the content: no flat look can be painted there.
class TransientStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override
    {
        return hint == SH_ScrollBar_Transient ? 1 : QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

TEST_F(ScrollBarsModelTest, StandardModeRefusesAFlatStyle)
{
    EXPECT_TRUE(bars->CanBeFlat());
    bars->setStyle(eStyle::Encarta);
    EXPECT_EQ(bars->Style(), eStyle::Encarta);

    TransientStyle style;
    QAbstractScrollArea fading;
    fading.horizontalScrollBar()->setStyle(&style);
    fading.verticalScrollBar()->setStyle(&style);
    bars->Create(&fading);
    EXPECT_FALSE(bars->CanBeFlat());
    EXPECT_EQ(bars->Style(), eStyle::Regular);
    bars->setStyle(eStyle::Flat);
    EXPECT_EQ(bars->Style(), eStyle::Regular);
    // The bars still work, in their style's look.
    bars->setMax(eBar::Vertical, 10);
    bars->setValue(eBar::Vertical, 4);
    EXPECT_EQ(fading.verticalScrollBar()->value(), 4);

    bars->Create(area.get());
    EXPECT_TRUE(bars->CanBeFlat());
    bars->setStyle(eStyle::Flat);
    EXPECT_EQ(bars->Style(), eStyle::Flat);
}

}  // namespace
}  // namespace quarbel::testing
