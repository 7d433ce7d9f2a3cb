#include "scrollbars/MessageHook.h"

#include "scrollbars/ScrollBarTypes.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QMouseEvent>

namespace quarbel {

MessageHook::MessageHook(IMessageHook& handler) : m_handler(handler) {}

MessageHook::~MessageHook() { DetachAll(); }

bool MessageHook::AttachMessage(QAbstractScrollArea* hWnd, int iMsg)
{
    if (!hWnd || (iMsg != MsgHScroll && iMsg != MsgVScroll))
        return false;
    for (const Hooked& h : m_hooked)
        if (h.area == hWnd && h.msg == iMsg)
            return true;
    if (m_handler.IMessageHook_MsgResponse(hWnd, iMsg) != 1)
        return false;
    QScrollBar* bar = iMsg == MsgHScroll ? hWnd->horizontalScrollBar() : hWnd->verticalScrollBar();
    m_hooked.push_back({hWnd, bar, iMsg, {}});
    // The vector may move its elements; the slots find theirs by bar.
    Hooked& h = m_hooked.back();
    const auto find = [this, bar]() -> const Hooked* {
        for (const Hooked& x : m_hooked)
            if (x.bar == bar)
                return &x;
        return nullptr;
    };
    h.connections.push_back(connect(bar, &QAbstractSlider::actionTriggered, this, [this, find](int action) {
        if (const Hooked* x = find())
            onAction(*x, action);
    }));
    h.connections.push_back(connect(bar, &QAbstractSlider::sliderReleased, this, [this, find] {
        if (const Hooked* x = find()) {
            deliver(*x, ThumbPosition);
            deliver(*x, EndScroll);
        }
    }));
    bar->installEventFilter(this);
    return true;
}

void MessageHook::release(Hooked& h)
{
    for (const auto& c : h.connections)
        disconnect(c);
    h.connections.clear();
    if (h.bar)
        h.bar->removeEventFilter(this);
}

void MessageHook::DetachMessage(QAbstractScrollArea* hWnd, int iMsg)
{
    for (auto it = m_hooked.begin(); it != m_hooked.end(); ++it) {
        if (it->area == hWnd && it->msg == iMsg) {
            release(*it);
            m_hooked.erase(it);
            return;
        }
    }
}

void MessageHook::DetachAll()
{
    for (Hooked& h : m_hooked)
        release(h);
    m_hooked.clear();
}

void MessageHook::deliver(const Hooked& hooked, int request)
{
    if (!hooked.area || !hooked.bar)
        return;
    std::int64_t result = 0;
    m_handler.IMessageHook_WindowProc(hooked.area, hooked.msg,
                                      scrollParam(request, hooked.bar->sliderPosition()), 0, result);
}

void MessageHook::onAction(const Hooked& hooked, int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return deliver(hooked, LineUp);
    case QAbstractSlider::SliderSingleStepAdd: return deliver(hooked, LineDown);
    case QAbstractSlider::SliderPageStepSub: return deliver(hooked, PageUp);
    case QAbstractSlider::SliderPageStepAdd: return deliver(hooked, PageDown);
    case QAbstractSlider::SliderToMinimum: return deliver(hooked, ToTop);
    case QAbstractSlider::SliderToMaximum: return deliver(hooked, ToBottom);
    case QAbstractSlider::SliderMove:
        return deliver(hooked, hooked.bar && hooked.bar->isSliderDown() ? ThumbTrack : ThumbPosition);
    default: return;
    }
}

bool MessageHook::eventFilter(QObject* watched, QEvent* event)
{
    // A release that ends a thumb drag is told through sliderReleased.
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (const Hooked& h : m_hooked)
            if (h.bar == watched && !h.bar->isSliderDown())
                deliver(h, EndScroll);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quarbel
