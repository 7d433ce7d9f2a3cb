// The scroll requests as a person makes them (the bars' own actions, the thumb, the wheel),
// delivered through the message hook, and what value and event each gives.

#include "ScrollFixture.h"
#include "scrollbars/ScrollBarTypes.h"

#include <QWheelEvent>

namespace quarbel::testing {
namespace {

struct Request {
    const char* what;
    QAbstractSlider::SliderAction action;
    int from;      // the value before
    int expected;  // by the request table on range 0..100, page 10, small change 3
    bool changes;
};

class ScrollRequestTest : public ScrollFixture,
                          public ::testing::WithParamInterface<std::tuple<eBar, Request>> {};

TEST_P(ScrollRequestTest, EachRequestSetsTheValueAndReportsAChangeOnlyWhenItMoved)
{
    const auto [bar, r] = GetParam();
    standardRange(bar);
    bars->setValue(bar, r.from);
    events.clear();
    qtBar(bar)->triggerAction(r.action);
    EXPECT_EQ(bars->Value(bar), r.expected) << r.what;
    EXPECT_EQ(qtBar(bar)->value(), r.expected) << r.what;
    EXPECT_EQ(events, r.changes ? std::vector<std::string>{name("Change", bar)} : std::vector<std::string>{})
        << r.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScrollRequestTest,
    ::testing::Combine(
        ::testing::Values(eBar::Horizontal, eBar::Vertical),
        ::testing::Values(Request{"line up", QAbstractSlider::SliderSingleStepSub, 50, 47, true},
                          Request{"line up at 2", QAbstractSlider::SliderSingleStepSub, 2, 0, true},
                          Request{"line up at Min", QAbstractSlider::SliderSingleStepSub, 0, 0, false},
                          Request{"line down", QAbstractSlider::SliderSingleStepAdd, 50, 53, true},
                          Request{"line down at 99", QAbstractSlider::SliderSingleStepAdd, 99, 100, true},
                          Request{"line down at Max", QAbstractSlider::SliderSingleStepAdd, 100, 100, false},
                          Request{"page up", QAbstractSlider::SliderPageStepSub, 50, 40, true},
                          Request{"page up at 4", QAbstractSlider::SliderPageStepSub, 4, 0, true},
                          Request{"page down", QAbstractSlider::SliderPageStepAdd, 50, 60, true},
                          Request{"page down at 95", QAbstractSlider::SliderPageStepAdd, 95, 100, true},
                          Request{"to start", QAbstractSlider::SliderToMinimum, 50, 0, true},
                          Request{"to start at Min", QAbstractSlider::SliderToMinimum, 0, 0, false},
                          Request{"to end", QAbstractSlider::SliderToMaximum, 50, 100, true})));

TEST_F(ScrollRequestTest, DraggingTheThumbReportsScrollOnlyAndTheReleaseNothingMore)
{
    for (eBar bar : {eBar::Horizontal, eBar::Vertical}) {
        standardRange(bar);
        QScrollBar* sb = qtBar(bar);
        sb->setSliderDown(true);
        sb->setSliderPosition(70);
        sb->setSliderPosition(72);
        sb->setSliderPosition(72);
        EXPECT_EQ(bars->Value(bar), 72);
        sb->setSliderDown(false);  // thumb position, then end of scrolling
        EXPECT_EQ(events, (std::vector<std::string>{name("Scroll", bar), name("Scroll", bar)}));
    }
}

TEST_F(ScrollRequestTest, RequestsOutsideTheTableAndEndOfScrollingWithoutAMoveDoNothing)
{
    standardRange(eBar::Vertical);
    std::int64_t result = -1;
    for (int code : {int(ThumbPosition), int(EndScroll), 9, 0xFFFF})
        bars->IMessageHook_WindowProc(area.get(), MsgVScroll, scrollParam(code, 90), 0, result);
    EXPECT_EQ(bars->Value(eBar::Vertical), 50);
    EXPECT_EQ(result, 0);
    // A message of another window, or another message, is not ours.
    QAbstractScrollArea other;
    bars->IMessageHook_WindowProc(&other, MsgVScroll, scrollParam(LineDown, 0), 0, result);
    bars->IMessageHook_WindowProc(area.get(), 15, scrollParam(LineDown, 0), 0, result);
    EXPECT_EQ(bars->Value(eBar::Vertical), 50);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(bars->IMessageHook_MsgResponse(area.get(), MsgVScroll), 1);
}

TEST_F(ScrollRequestTest, AWheelTurnMovesThreeSmallChangesAndReportsAChange)
{
    standardRange(eBar::Vertical);
    const QPoint at(5, 40);
    QWheelEvent down(at, qtBar(eBar::Vertical)->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(qtBar(eBar::Vertical), &down);
    EXPECT_EQ(bars->Value(eBar::Vertical), 50 + QApplication::wheelScrollLines() * 3);
    EXPECT_EQ(events, std::vector<std::string>{name("Change", eBar::Vertical)});
}

}  // namespace
}  // namespace quarbel::testing
