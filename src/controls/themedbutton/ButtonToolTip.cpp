#include "controls/themedbutton/ButtonToolTip.h"

#include "controls/common/SystemColors.h"
#include "controls/themedbutton/ButtonColors.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>

namespace quarbel::themed {

namespace {

constexpr int Padding = 6;
constexpr int IconSide = 16;
constexpr int PointerHeight = 10;  // the balloon's pointer above its body
constexpr int PointerLeft = 12;
constexpr int PointerWidth = 12;
constexpr int Radius = 6;

std::optional<gfx::Color> applied(std::uint32_t value)
{
    if (value == 0)
        return std::nullopt;
    const gfx::Color c = TranslateColor(value);
    if (c == gfx::InvalidColor)
        return std::nullopt;
    return c;
}

QColor qcolor(gfx::Color c) { return QColor(gfx::red(c), gfx::green(c), gfx::blue(c)); }

QFont titleFont(const QFont& f)
{
    QFont bold = f;
    bold.setBold(true);
    return bold;
}

int bodyTop(const ToolTipLook& l) { return l.setup.balloon ? PointerHeight : 0; }

QRect titleRect(const ToolTipLook& l)
{
    if (!l.setup.hasTitle)
        return {};
    const QFontMetrics fm(titleFont(l.font));
    const int iconWidth = l.titleIcon.isNull() ? 0 : IconSide + 4;
    return {Padding, bodyTop(l) + Padding, iconWidth + fm.horizontalAdvance(l.setup.title),
            std::max(fm.height(), l.titleIcon.isNull() ? 0 : IconSide)};
}

QSize textSize(const ToolTipLook& l)
{
    const QFontMetrics fm(l.font);
    return fm.boundingRect(QRect(0, 0, 320, 10000), Qt::TextWordWrap, l.setup.text).size();
}

QPainterPath outline(const ToolTipLook& l, QSize size)
{
    QPainterPath path;
    const QRectF body(0.5, bodyTop(l) + 0.5, size.width() - 1.0, size.height() - bodyTop(l) - 1.0);
    if (!l.setup.balloon) {
        path.addRect(body);
        return path;
    }
    path.addRoundedRect(body, Radius, Radius);
    QPainterPath pointer;
    pointer.moveTo(PointerLeft + 0.5, bodyTop(l) + 1.5);
    pointer.lineTo(PointerLeft + 0.5, 0.5);
    pointer.lineTo(PointerLeft + PointerWidth + 0.5, bodyTop(l) + 1.5);
    pointer.closeSubpath();
    return path.united(pointer);
}

}  // namespace

ToolTipSetup toolTipSetup(int type, int icon, const QString& title, const QString& text,
                          std::uint32_t foreColor, std::uint32_t backColor)
{
    ToolTipSetup s;
    s.balloon = type == 1;
    s.text = text;
    s.hasTitle = !title.isEmpty() || icon != 0;
    if (s.hasTitle) {
        s.title = title;
        s.icon = icon;
    }
    s.textColor = applied(foreColor);
    s.backColor = applied(backColor);
    return s;
}

QSize toolTipSize(const ToolTipLook& l)
{
    const QRect title = titleRect(l);
    const QSize text = textSize(l);
    const int width =
        std::max({title.width(), text.width(), l.setup.balloon ? PointerLeft + PointerWidth : 0});
    const int height = (title.isEmpty() ? 0 : title.height() + 4) + text.height();
    return {width + 2 * Padding, bodyTop(l) + height + 2 * Padding};
}

QRegion toolTipShape(const ToolTipLook& l)
{
    return QRegion(outline(l, toolTipSize(l)).toFillPolygon().toPolygon());
}

void paintToolTip(QImage& picture, const ToolTipLook& l)
{
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, l.setup.balloon);
    p.setPen(qcolor(l.text));
    p.setBrush(qcolor(l.background));
    p.drawPath(outline(l, picture.size()));
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect title = titleRect(l);
    int y = bodyTop(l) + Padding;
    if (!title.isEmpty()) {
        int x = title.left();
        if (!l.titleIcon.isNull()) {
            p.drawImage(QRect(x, y, IconSide, IconSide), l.titleIcon);
            x += IconSide + 4;
        }
        p.setFont(titleFont(l.font));
        p.drawText(QRect(x, y, title.right() - x + 1, title.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   l.setup.title);
        y += title.height() + 4;
    }
    p.setFont(l.font);
    p.drawText(QRect(Padding, y, picture.width() - 2 * Padding, picture.height() - y - Padding),
               Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, l.setup.text);
}

ButtonToolTip::ButtonToolTip(const ToolTipSetup& setup, QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint), m_owner(owner)
{
    setAttribute(Qt::WA_TranslucentBackground);
    m_look.setup = setup;
    m_look.text = setup.textColor.value_or(SystemColors::get(InfoText));
    m_look.background = setup.backColor.value_or(SystemColors::get(InfoBackground));
    m_look.font = QApplication::font("QToolTip");
    const QStyle::StandardPixmap icons[] = {QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxWarning,
                                            QStyle::SP_MessageBoxCritical};
    if (setup.icon >= 1 && setup.icon <= 3)
        m_look.titleIcon = style()->standardIcon(icons[setup.icon - 1]).pixmap(IconSide, IconSide).toImage();
    resize(toolTipSize(m_look));
    if (!m_look.setup.balloon)
        clearMask();
    else
        setMask(toolTipShape(m_look));
    m_wakeUp.setSingleShot(true);
    m_wakeUp.setInterval(std::max(0, style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay)));
    connect(&m_wakeUp, &QTimer::timeout, this, &ButtonToolTip::popUp);
    m_wakeUp.start();
}

void ButtonToolTip::popUp()
{
    if (m_look.setup.text.isEmpty())
        return;
    QPoint at = QCursor::pos() + QPoint(-PointerLeft, 20);
    if (const QScreen* screen = QGuiApplication::screenAt(QCursor::pos())) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    move(at);
    show();
    raise();
}

void ButtonToolTip::paintEvent(QPaintEvent*)
{
    QImage picture(size(), QImage::Format_ARGB32_Premultiplied);
    paintToolTip(picture, m_look);
    QPainter(this).drawImage(QPoint(0, 0), picture);
}

void ButtonToolTip::mousePressEvent(QMouseEvent*) { hide(); }

}  // namespace quarbel::themed
