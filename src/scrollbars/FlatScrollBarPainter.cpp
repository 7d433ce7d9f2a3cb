#include "scrollbars/FlatScrollBarPainter.h"

#include <QEvent>
#include <QHoverEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace quarbel {

namespace {

QStyleOptionSlider optionOf(const QScrollBar& bar)
{
    QStyleOptionSlider opt;
    opt.initFrom(&bar);
    opt.subControls = QStyle::SC_All;
    opt.activeSubControls = QStyle::SC_None;
    opt.orientation = bar.orientation();
    opt.minimum = bar.minimum();
    opt.maximum = bar.maximum();
    opt.sliderPosition = bar.sliderPosition();
    opt.sliderValue = bar.value();
    opt.singleStep = bar.singleStep();
    opt.pageStep = bar.pageStep();
    opt.upsideDown = bar.invertedAppearance();
    if (bar.orientation() == Qt::Horizontal)
        opt.state |= QStyle::State_Horizontal;
    return opt;
}

gfx::Rect toRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

ScrollPart partOf(QStyle::SubControl sc)
{
    switch (sc) {
    case QStyle::SC_ScrollBarSubLine: return ScrollPart::SubLine;
    case QStyle::SC_ScrollBarAddLine: return ScrollPart::AddLine;
    case QStyle::SC_ScrollBarSubPage: return ScrollPart::SubPage;
    case QStyle::SC_ScrollBarAddPage: return ScrollPart::AddPage;
    case QStyle::SC_ScrollBarSlider: return ScrollPart::Thumb;
    default: return ScrollPart::None;
    }
}

}  // namespace

FlatScrollBarPainter::FlatScrollBarPainter(QScrollBar* bar) : m_bar(bar)
{
    m_hadHover = bar->testAttribute(Qt::WA_Hover);
    bar->setAttribute(Qt::WA_Hover, true);
    bar->installEventFilter(this);
}

FlatScrollBarPainter::~FlatScrollBarPainter()
{
    if (!m_bar)
        return;
    m_bar->removeEventFilter(this);
    m_bar->setAttribute(Qt::WA_Hover, m_hadHover);
    m_bar->update();
}

bool FlatScrollBarPainter::canPaint(const QScrollBar& bar)
{
    return !bar.style()->styleHint(QStyle::SH_ScrollBar_Transient, nullptr, &bar);
}

void FlatScrollBarPainter::setStyle(eStyle style)
{
    m_style = style;
    if (m_bar)
        m_bar->update();
}

FlatScrollBarLook FlatScrollBarPainter::layout(const QScrollBar& bar)
{
    const QStyleOptionSlider opt = optionOf(bar);
    const auto rect = [&](QStyle::SubControl sc) {
        return toRect(bar.style()->subControlRect(QStyle::CC_ScrollBar, &opt, sc, &bar));
    };
    FlatScrollBarLook look;
    look.vertical = bar.orientation() == Qt::Vertical;
    look.enabled = bar.isEnabled() && bar.minimum() < bar.maximum();
    look.subLine = rect(QStyle::SC_ScrollBarSubLine);
    look.addLine = rect(QStyle::SC_ScrollBarAddLine);
    look.subPage = rect(QStyle::SC_ScrollBarSubPage);
    look.addPage = rect(QStyle::SC_ScrollBarAddPage);
    look.thumb = rect(QStyle::SC_ScrollBarSlider);
    return look;
}

ScrollPart FlatScrollBarPainter::partAt(const QScrollBar& bar, QPoint pos)
{
    const QStyleOptionSlider opt = optionOf(bar);
    return partOf(bar.style()->hitTestComplexControl(QStyle::CC_ScrollBar, &opt, pos, &bar));
}

void FlatScrollBarPainter::paint()
{
    FlatScrollBarLook look = layout(*m_bar);
    look.style = m_style;
    look.hot = m_hot;
    look.pressed = m_pressed;
    gfx::Surface surface(m_bar->width(), m_bar->height());
    drawFlatScrollBar(surface, look);
    QPainter(m_bar).drawImage(QPoint(0, 0), surface.image());
}

bool FlatScrollBarPainter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_bar)
        return false;
    const auto track = [this](ScrollPart hot, ScrollPart pressed) {
        if (hot != m_hot || pressed != m_pressed) {
            m_hot = hot;
            m_pressed = pressed;
            m_bar->update();
        }
    };
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        track(partAt(*m_bar, static_cast<QHoverEvent*>(event)->position().toPoint()), m_pressed);
        break;
    case QEvent::HoverLeave: track(ScrollPart::None, m_pressed); break;
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            track(m_hot, partAt(*m_bar, static_cast<QMouseEvent*>(event)->position().toPoint()));
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            track(partAt(*m_bar, static_cast<QMouseEvent*>(event)->position().toPoint()), ScrollPart::None);
        break;
    case QEvent::Paint:
        if (m_style != eStyle::Regular) {
            paint();
            return true;
        }
        break;
    default: break;
    }
    return false;
}

}  // namespace quarbel
