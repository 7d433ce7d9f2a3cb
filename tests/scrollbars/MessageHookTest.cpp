// Which scroll message and request code each thing done to an area's bars delivers.

#include "ScrollFixture.h"
#include "scrollbars/MessageHook.h"
#include "scrollbars/ScrollBarTypes.h"

#include <QTest>
#include <QWheelEvent>

namespace quarbel::testing {
namespace {

struct Recorder : IMessageHook {
    int response = 1;
    std::vector<std::pair<int, int>> seen;  // message, request
    int IMessageHook_MsgResponse(QAbstractScrollArea*, int) override { return response; }
    void IMessageHook_WindowProc(QAbstractScrollArea*, int iMsg, std::uint64_t wParam, std::int64_t,
                                 std::int64_t& result) override
    {
        seen.emplace_back(iMsg, requestOf(wParam));
        result = 0;
    }
};

class MessageHookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        area.resize(200, 150);
        area.show();
        for (QScrollBar* bar : {area.horizontalScrollBar(), area.verticalScrollBar()})
            bar->setRange(0, 100);
        QApplication::sendPostedEvents();
    }
    bool m_app = (ensureApplication(), true);  // before any widget
    QAbstractScrollArea area;
    Recorder recorder;
    MessageHook hook{recorder};
};

TEST_F(MessageHookTest, EachBarActionArrivesAsItsRequestOnItsMessage)
{
    ASSERT_TRUE(hook.AttachMessage(&area, MsgHScroll));
    ASSERT_TRUE(hook.AttachMessage(&area, MsgVScroll));
    const std::pair<QAbstractSlider::SliderAction, int> table[] = {
        {QAbstractSlider::SliderSingleStepSub, LineUp}, {QAbstractSlider::SliderSingleStepAdd, LineDown},
        {QAbstractSlider::SliderPageStepSub, PageUp},   {QAbstractSlider::SliderPageStepAdd, PageDown},
        {QAbstractSlider::SliderToMinimum, ToTop},      {QAbstractSlider::SliderToMaximum, ToBottom}};
    for (const auto& [bar, msg] : {std::pair{area.horizontalScrollBar(), MsgHScroll},
                                   std::pair{area.verticalScrollBar(), MsgVScroll}}) {
        for (const auto& [action, request] : table) {
            recorder.seen.clear();
            bar->triggerAction(action);
            EXPECT_EQ(recorder.seen, (std::vector<std::pair<int, int>>{{msg, request}})) << action;
        }
        // A drag: the thumb tracking, then where it was let go, then the end of scrolling.
        recorder.seen.clear();
        bar->setSliderDown(true);
        bar->setSliderPosition(30);
        bar->setSliderDown(false);
        EXPECT_EQ(recorder.seen, (std::vector<std::pair<int, int>>{
                                     {msg, ThumbTrack}, {msg, ThumbPosition}, {msg, EndScroll}}));
    }
}

TEST_F(MessageHookTest, ReleasingAnArrowEndsTheScrollingAndTheWheelMovesTheThumbInOneStep)
{
    ASSERT_TRUE(hook.AttachMessage(&area, MsgVScroll));
    QScrollBar* bar = area.verticalScrollBar();
    const QPoint arrow(bar->width() / 2, bar->height() - 3);
    QTest::mousePress(bar, Qt::LeftButton, {}, arrow);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, arrow);
    ASSERT_FALSE(recorder.seen.empty());
    EXPECT_EQ(recorder.seen.front(), std::make_pair(MsgVScroll, int(LineDown)));
    EXPECT_EQ(recorder.seen.back(), std::make_pair(MsgVScroll, int(EndScroll)));

    recorder.seen.clear();
    const QPoint at(5, 40);
    QWheelEvent down(at, bar->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &down);
    EXPECT_EQ(recorder.seen, (std::vector<std::pair<int, int>>{{MsgVScroll, ThumbPosition}}));
}

TEST_F(MessageHookTest, OnlyTheTwoScrollMessagesAreDeliveredAndOnlyUntilDetached)
{
    EXPECT_FALSE(hook.AttachMessage(&area, 15));
    EXPECT_FALSE(hook.AttachMessage(nullptr, MsgVScroll));
    recorder.response = 2;
    EXPECT_FALSE(hook.AttachMessage(&area, MsgVScroll));
    recorder.response = 1;
    ASSERT_TRUE(hook.AttachMessage(&area, MsgVScroll));
    ASSERT_TRUE(hook.AttachMessage(&area, MsgVScroll));  // once is enough
    area.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    area.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(recorder.seen.size(), 1u);
    hook.DetachMessage(&area, MsgVScroll);
    area.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QTest::mouseRelease(area.verticalScrollBar(), Qt::LeftButton);
    EXPECT_EQ(recorder.seen.size(), 1u);
}

}  // namespace
}  // namespace quarbel::testing
