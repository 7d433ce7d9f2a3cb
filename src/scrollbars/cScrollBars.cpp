#include "scrollbars/cScrollBars.h"

#include "scrollbars/FlatScrollBarPainter.h"
#include "scrollbars/ScrollInfo.h"

#include <QScrollBar>
#include <algorithm>
#include <limits>

namespace quarbel {

namespace {

int clampInt(long long v)
{
    return static_cast<int>(
        std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

constexpr eBar Bars[] = {eBar::Horizontal, eBar::Vertical};

bool shows(eOrientation o, eBar bar)
{
    return bar == eBar::Horizontal ? o != eOrientation::Vertical : o != eOrientation::Horizontal;
}

}  // namespace

cScrollBars::cScrollBars(QObject* parent) : QObject(parent), m_hook(*this) {}

cScrollBars::~cScrollBars() { detach(); }

QScrollBar* cScrollBars::scrollBar(eBar bar) const
{
    if (!m_attached || !m_hWnd)
        return nullptr;
    return bar == eBar::Horizontal ? m_hWnd->horizontalScrollBar() : m_hWnd->verticalScrollBar();
}

void cScrollBars::Create(QAbstractScrollArea* hWndA)
{
    detach();
    if (!hWndA)
        return;
    m_hWnd = hWndA;
    m_attached = true;
    for (eBar bar : Bars) {
        QScrollBar* sb = scrollBar(bar);
        const int i = index(bar);
        m_savedPolicy[i] =
            bar == eBar::Horizontal ? hWndA->horizontalScrollBarPolicy() : hWndA->verticalScrollBarPolicy();
        m_savedEnabled[i] = sb->isEnabled();
        m_savedSingleStep[i] = sb->singleStep();
        m_visible[i] = m_savedPolicy[i] != Qt::ScrollBarAlwaysOff;
        m_enabled[i] = sb->isEnabled();
        m_lastValue[i] = sb->value();
        sb->setSingleStep(m_smallChange[i]);
        m_valueWatch[i] = connect(sb, &QAbstractSlider::valueChanged, this, [this, bar] {
            if (!m_tracking)
                report(bar, Report::Change);
        });
    }
    m_destroyWatch = connect(hWndA, &QObject::destroyed, this, [this] {
        m_hWnd = nullptr;  // half destroyed: nothing of it is given back
        detach();
    });

    m_standardMode = !FlatScrollBarPainter::canPaint(*scrollBar(eBar::Horizontal)) ||
                     !FlatScrollBarPainter::canPaint(*scrollBar(eBar::Vertical));
    if (m_standardMode) {
        m_style = eStyle::Regular;  // what the bars show
    } else {
        for (eBar bar : Bars)
            m_painters[index(bar)] = std::make_unique<FlatScrollBarPainter>(scrollBar(bar));
        applyStyle();
    }
    m_hook.AttachMessage(hWndA, MsgHScroll);
    m_hook.AttachMessage(hWndA, MsgVScroll);
}

void cScrollBars::detach()
{
    m_hook.DetachAll();
    for (auto& painter : m_painters)
        painter.reset();
    for (auto& watch : m_valueWatch)
        disconnect(watch);
    disconnect(m_destroyWatch);
    if (m_hWnd) {
        m_hWnd->setHorizontalScrollBarPolicy(m_savedPolicy[0]);
        m_hWnd->setVerticalScrollBarPolicy(m_savedPolicy[1]);
        for (eBar bar : Bars) {
            QScrollBar* sb =
                bar == eBar::Horizontal ? m_hWnd->horizontalScrollBar() : m_hWnd->verticalScrollBar();
            sb->setEnabled(m_savedEnabled[index(bar)]);
            sb->setSingleStep(m_savedSingleStep[index(bar)]);
        }
    }
    m_hWnd = nullptr;
    m_attached = false;
}

void cScrollBars::applyStyle()
{
    for (eBar bar : Bars)
        if (m_painters[index(bar)] && shows(m_orientation, bar))
            m_painters[index(bar)]->setStyle(m_style);
}

void cScrollBars::showBar(eBar bar, bool show)
{
    m_visible[index(bar)] = show;
    if (!scrollBar(bar))
        return;
    const Qt::ScrollBarPolicy policy = show ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (bar == eBar::Horizontal)
        m_hWnd->setHorizontalScrollBarPolicy(policy);
    else
        m_hWnd->setVerticalScrollBarPolicy(policy);
}

void cScrollBars::setOrientation(eOrientation orientation)
{
    if (orientation != eOrientation::Horizontal && orientation != eOrientation::Vertical &&
        orientation != eOrientation::Both)
        return;
    m_orientation = orientation;
    if (!m_attached)
        return;
    for (eBar bar : Bars)
        showBar(bar, shows(orientation, bar));
}

void cScrollBars::setStyle(eStyle style)
{
    if (style != eStyle::Regular && style != eStyle::Encarta && style != eStyle::Flat)
        return;
    if (m_standardMode && style != eStyle::Regular)
        return;
    m_style = style;
    applyStyle();
}

void cScrollBars::setVisible(eBar bar, bool bState) { showBar(bar, bState); }

void cScrollBars::setEnabled(eBar bar, bool bEnabled)
{
    m_enabled[index(bar)] = bEnabled;
    if (QScrollBar* sb = scrollBar(bar))
        sb->setEnabled(bEnabled);
}

void cScrollBars::setSmallChange(eBar bar, int lSmallChange)
{
    m_smallChange[index(bar)] = lSmallChange;
    if (QScrollBar* sb = scrollBar(bar))
        sb->setSingleStep(lSmallChange);
}

int cScrollBars::Min(eBar bar) const
{
    const QScrollBar* sb = scrollBar(bar);
    return sb ? getScrollInfo(*sb, SifRange).min : 0;
}

void cScrollBars::setMin(eBar bar, int iMin)
{
    QScrollBar* sb = scrollBar(bar);
    if (!sb)
        return;
    ScrollInfo info = getScrollInfo(*sb, SifRange);
    info.mask = SifRange;
    info.min = iMin;  // the range maximum stays, and with it Max
    setScrollInfo(*sb, info);
}

int cScrollBars::Max(eBar bar) const
{
    const QScrollBar* sb = scrollBar(bar);
    if (!sb)
        return 0;
    const ScrollInfo info = getScrollInfo(*sb, SifRange | SifPage);
    return info.max - info.page;
}

void cScrollBars::setMax(eBar bar, int iMax)
{
    QScrollBar* sb = scrollBar(bar);
    if (!sb)
        return;
    ScrollInfo info = getScrollInfo(*sb, SifRange | SifPage);
    info.mask = SifRange;
    info.max = clampInt(static_cast<long long>(iMax) + info.page);
    setScrollInfo(*sb, info);
    report(bar, Report::Change);
}

int cScrollBars::Value(eBar bar) const
{
    const QScrollBar* sb = scrollBar(bar);
    return sb ? getScrollInfo(*sb, SifPos).pos : 0;
}

void cScrollBars::setValue(eBar bar, int iValue)
{
    QScrollBar* sb = scrollBar(bar);
    if (!sb)
        return;
    if (iValue != Value(bar))
        writePosition(bar, iValue);
    report(bar, Report::Change);
}

int cScrollBars::LargeChange(eBar bar) const
{
    const QScrollBar* sb = scrollBar(bar);
    return sb ? getScrollInfo(*sb, SifPage).page : 0;
}

void cScrollBars::setLargeChange(eBar bar, int iLargeChange)
{
    QScrollBar* sb = scrollBar(bar);
    if (!sb)
        return;
    const int page = std::max(0, iLargeChange);
    ScrollInfo info = getScrollInfo(*sb, SifAll);
    info.mask = SifRange | SifPage;
    info.max = clampInt(static_cast<long long>(info.max) + page - info.page);
    info.page = page;
    setScrollInfo(*sb, info);
}

void cScrollBars::writePosition(eBar bar, int value)
{
    if (QScrollBar* sb = scrollBar(bar)) {
        ScrollInfo info;
        info.mask = SifPos;
        info.pos = value;
        setScrollInfo(*sb, info);
    }
}

void cScrollBars::report(eBar bar, Report kind)
{
    const int value = Value(bar);
    int& last = m_lastValue[index(bar)];
    if (value == last)
        return;
    last = value;
    if (kind == Report::Scroll)
        emit Scroll(bar);
    else
        emit Change(bar);
}

int cScrollBars::IMessageHook_MsgResponse(QAbstractScrollArea*, int) { return 1; }

void cScrollBars::IMessageHook_WindowProc(QAbstractScrollArea* hWnd, int iMsg, std::uint64_t wParam,
                                          std::int64_t, std::int64_t& result)
{
    result = 0;
    if (hWnd != m_hWnd || (iMsg != MsgHScroll && iMsg != MsgVScroll))
        return;
    const eBar bar = iMsg == MsgHScroll ? eBar::Horizontal : eBar::Vertical;
    const long long value = Value(bar);
    const long long small = SmallChange(bar);
    const long long large = LargeChange(bar);
    switch (requestOf(wParam)) {
    case LineUp:
        writePosition(bar, clampInt(std::max(value - small, static_cast<long long>(Min(bar)))));
        break;
    case LineDown:
        writePosition(bar, clampInt(std::min(value + small, static_cast<long long>(Max(bar)))));
        break;
    case PageUp: writePosition(bar, clampInt(value - large)); break;
    case PageDown: writePosition(bar, clampInt(value + large)); break;
    case ThumbTrack: {
        // The thumb's position, written without the Change a value assignment reports, so
        // that the drag is told as Scroll.
        m_tracking = true;
        writePosition(bar, getScrollInfo(*scrollBar(bar), SifTrackPos).trackPos);
        m_tracking = false;
        report(bar, Report::Scroll);
        return;
    }
    case ToTop: writePosition(bar, Min(bar)); break;
    case ToBottom: writePosition(bar, Max(bar)); break;
    case EndScroll: break;
    default: return;
    }
    report(bar, Report::Change);
}

}  // namespace quarbel
