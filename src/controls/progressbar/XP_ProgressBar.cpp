#include "controls/progressbar/XP_ProgressBar.h"

#include "controls/common/Accessibility.h"
#include "controls/common/SystemColors.h"
#include "controls/progressbar/ProgressDrawing.h"
#include "controls/progressbar/XP_ProgressBarAccessible.h"

#include <QPainter>
#include <QResizeEvent>

namespace quarbel {

namespace {

// The persisted names and their defaults in the property bag.
constexpr int DefaultBrushStyle = 4;
constexpr std::uint32_t DefaultColor = 0x8000000D;

QFont defaultFont()
{
    // Stands in for the classic 8-point dialog font.
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    return f;
}

}  // namespace

XP_ProgressBar::XP_ProgressBar(QWidget* parent) : QWidget(parent), m_font(defaultFont())
{
    installProgressBarAccessible();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    m_color = ResolveColor(DefaultColor);
    DrawProgressBar();
}

void XP_ProgressBar::setMax(int cMax)
{
    m_max = cMax;
    emit propertyChanged(QStringLiteral("Max"));
}

void XP_ProgressBar::setMin(int cMin)
{
    m_min = cMin;
    emit propertyChanged(QStringLiteral("Min"));
}

int XP_ProgressBar::Value() const { return progress::ValueFromPercent(m_percent, m_min, m_max); }

progress::ValueError XP_ProgressBar::assignValue(int v)
{
    const progress::PercentResult r = progress::PercentFromValue(v, m_min, m_max);
    m_lastValueError = r.error;
    if (r.error != progress::ValueError::None)
        return r.error;
    // What is shown is the percentage: a change of it is announced.
    const int before = m_percent;
    m_percent = r.percent;
    DrawProgressBar();
    if (m_percent != before)
        accessibility::notifyValueChanged(this, Value());
    return r.error;
}

void XP_ProgressBar::setValue(int v) { assignValue(v); }

void XP_ProgressBar::setColor(std::uint32_t c)
{
    m_color = ResolveColor(c);
    DrawProgressBar();
}

void XP_ProgressBar::setScrolling(int lScrolling)
{
    m_scrolling = lScrolling;
    emit propertyChanged(QStringLiteral("Scrolling"));
    DrawProgressBar();
}

void XP_ProgressBar::setShowText(bool bShowText)
{
    m_showText = bShowText;
    emit propertyChanged(QStringLiteral("ShowText"));
    DrawProgressBar();
}

void XP_ProgressBar::setOrientation(int cOrientation)
{
    m_orientation = cOrientation;
    emit propertyChanged(QStringLiteral("Orientation"));
    DrawProgressBar();
}

void XP_ProgressBar::setBrushStyle(int style)
{
    m_brushStyle = style;
    emit propertyChanged(QStringLiteral("BrushStyle"));
}

void XP_ProgressBar::setImage(const QImage& handle)
{
    m_image = handle;
    emit propertyChanged(QStringLiteral("Image"));
    DrawProgressBar();
}

void XP_ProgressBar::setFont(const QFont& font)
{
    m_font = font;
    QWidget::setFont(font);
}

void XP_ProgressBar::ReadProperties(const PropertyBag& bag)
{
    const QVariant font = bag.ReadProperty(QStringLiteral("Font"), QVariant());
    if (font.typeId() == QMetaType::QFont)
        setFont(font.value<QFont>());
    m_brushStyle = bag.ReadTyped(QStringLiteral("BrushStyle"), DefaultBrushStyle).toInt();
    setColor(static_cast<std::uint32_t>(
        bag.ReadTyped(QStringLiteral("Color"), qlonglong(DefaultColor)).toLongLong()));
    m_image = bag.ReadProperty(QStringLiteral("Image"), QImage()).value<QImage>();
    setMax(bag.ReadTyped(QStringLiteral("Max"), 100).toInt());
    setMin(bag.ReadTyped(QStringLiteral("Min"), 0).toInt());
    setOrientation(bag.ReadTyped(QStringLiteral("Orientation"), 0).toInt());
    setScrolling(bag.ReadTyped(QStringLiteral("Scrolling"), 0).toInt());
    setShowText(bag.ReadTyped(QStringLiteral("ShowText"), false).toBool());
    setValue(bag.ReadTyped(QStringLiteral("Value"), 0).toInt());
}

void XP_ProgressBar::WriteProperties(PropertyBag& bag) const
{
    bag.set(QStringLiteral("Font"), m_font);
    bag.WriteProperty(QStringLiteral("BrushStyle"), m_brushStyle, DefaultBrushStyle);
    bag.WriteProperty(QStringLiteral("Color"), qlonglong(m_color), qlonglong(DefaultColor));
    bag.WriteProperty(QStringLiteral("Image"), m_image.isNull() ? QVariant() : QVariant(m_image), QVariant());
    bag.WriteProperty(QStringLiteral("Max"), m_max, 100);
    bag.WriteProperty(QStringLiteral("Min"), m_min, 0);
    bag.WriteProperty(QStringLiteral("Orientation"), m_orientation, 0);
    bag.WriteProperty(QStringLiteral("Scrolling"), m_scrolling, 0);
    bag.WriteProperty(QStringLiteral("ShowText"), m_showText, false);
    // The value itself, not the percentage: read back through the Value setter after Max and
    // Min, it gives the same bar under any range.
    bag.WriteProperty(QStringLiteral("Value"), Value(), 0);
}

bool XP_ProgressBar::EnsureBuffer(int width, int height)
{
    if (!m_buffer.isNull()) {
        if (m_buffer.height() < height || m_buffer.width() < width)
            m_buffer = gfx::Surface(width, height);
    } else if (width > 0 && height > 0) {
        m_buffer = gfx::Surface(width, height);
    }
    return !m_buffer.isNull();
}

progress::Look XP_ProgressBar::look() const
{
    progress::Look l;
    l.scrolling = m_scrolling;
    l.orientation = m_orientation;
    l.percent = m_percent;
    l.color = m_color;
    l.brushStyle = m_brushStyle;
    l.image = m_image;
    l.showText = m_showText;
    l.font = m_font;
    return l;
}

void XP_ProgressBar::render()
{
    if (m_percent > 100)
        m_percent = 100;
    // Until the widget has been given a size or shown, its size is Qt's placeholder: make no
    // buffer of that size.
    if (!testAttribute(Qt::WA_Resized) && !isVisible())
        return;
    if (!EnsureBuffer(width(), height()))
        return;
    progress::RenderProgressBar(m_buffer, width(), height(), look());
}

void XP_ProgressBar::DrawProgressBar()
{
    render();
    update();
}

void XP_ProgressBar::DrawLine(int X, int Y, int Width, int Height, gfx::Surface& cHdc,
                              std::uint32_t Color) const
{
    progress::DrawLine(X, Y, Width, Height, cHdc, Color);
}

void XP_ProgressBar::DrawGradient(std::uint32_t& lEndColor, std::uint32_t& lStartcolor, int X, int Y, int X2,
                                  int Y2, gfx::Surface& hdc, bool bH) const
{
    progress::DrawGradient(lEndColor, lStartcolor, X, Y, X2, Y2, hdc, bH);
}

void XP_ProgressBar::pDraw(gfx::Surface& hdc, int xSrc, int ySrc, int WidthSrc, int HeightSrc, int xDst,
                           int yDst) const
{
    if (m_buffer.isNull())
        return;
    const int w = WidthSrc < 1 ? m_buffer.width() : WidthSrc;
    const int h = HeightSrc < 1 ? m_buffer.height() : HeightSrc;
    hdc.copyFrom(m_buffer, {xSrc, ySrc, xSrc + w, ySrc + h}, {xDst, yDst});
}

QImage XP_ProgressBar::clientImage() const
{
    if (m_buffer.isNull())
        return {};
    return m_buffer.image().copy(0, 0, std::min(width(), m_buffer.width()),
                                 std::min(height(), m_buffer.height()));
}

void XP_ProgressBar::paintEvent(QPaintEvent*)
{
    render();
    if (m_buffer.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_buffer.image(), QRect(0, 0, width(), height()));
}

void XP_ProgressBar::changeEvent(QEvent* event)
{
    // The edges of the etched, bump and sunken styles use the system colours of the moment.
    if (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::PaletteChange) {
        SystemColors::paletteChanged();
        DrawProgressBar();
    }
    QWidget::changeEvent(event);
}

void XP_ProgressBar::resizeEvent(QResizeEvent* event)
{
    // The buffer grows now; the paint that follows draws into it.
    EnsureBuffer(event->size().width(), event->size().height());
    QWidget::resizeEvent(event);
}

}  // namespace quarbel
