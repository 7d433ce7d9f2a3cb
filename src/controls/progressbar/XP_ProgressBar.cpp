#include "controls/progressbar/XP_ProgressBar.h"

#include "controls/common/SystemColors.h"
#include "controls/progressbar/ProgressDrawing.h"

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

} // namespace

XP_ProgressBar::XP_ProgressBar(QWidget* parent) : QWidget(parent), font_(defaultFont())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    color_ = ResolveColor(DefaultColor);
    DrawProgressBar();
}

void XP_ProgressBar::setMax(int cMax)
{
    max_ = cMax;
    emit propertyChanged(QStringLiteral("Max"));
}

void XP_ProgressBar::setMin(int cMin)
{
    min_ = cMin;
    emit propertyChanged(QStringLiteral("Min"));
}

int XP_ProgressBar::Value() const { return progress::ValueFromPercent(percent_, min_, max_); }

progress::ValueError XP_ProgressBar::assignValue(int v)
{
    const progress::PercentResult r = progress::PercentFromValue(v, min_, max_);
    lastValueError_ = r.error;
    if (r.error != progress::ValueError::None)
        return r.error;
    percent_ = r.percent;
    DrawProgressBar();
    return r.error;
}

void XP_ProgressBar::setValue(int v) { assignValue(v); }

void XP_ProgressBar::setColor(std::uint32_t c)
{
    color_ = ResolveColor(c);
    DrawProgressBar();
}

void XP_ProgressBar::setScrolling(int lScrolling)
{
    scrolling_ = lScrolling;
    emit propertyChanged(QStringLiteral("Scrolling"));
    DrawProgressBar();
}

void XP_ProgressBar::setShowText(bool bShowText)
{
    showText_ = bShowText;
    emit propertyChanged(QStringLiteral("ShowText"));
    DrawProgressBar();
}

void XP_ProgressBar::setOrientation(int cOrientation)
{
    orientation_ = cOrientation;
    emit propertyChanged(QStringLiteral("Orientation"));
    DrawProgressBar();
}

void XP_ProgressBar::setBrushStyle(int style)
{
    brushStyle_ = style;
    emit propertyChanged(QStringLiteral("BrushStyle"));
}

void XP_ProgressBar::setImage(const QImage& handle)
{
    image_ = handle;
    emit propertyChanged(QStringLiteral("Image"));
    DrawProgressBar();
}

void XP_ProgressBar::setFont(const QFont& font)
{
    font_ = font;
    QWidget::setFont(font);
}

void XP_ProgressBar::ReadProperties(const PropertyBag& bag)
{
    const QVariant font = bag.ReadProperty(QStringLiteral("Font"), QVariant());
    if (font.typeId() == QMetaType::QFont)
        setFont(font.value<QFont>());
    brushStyle_ = bag.ReadTyped(QStringLiteral("BrushStyle"), DefaultBrushStyle).toInt();
    setColor(static_cast<std::uint32_t>(bag.ReadTyped(QStringLiteral("Color"), qlonglong(DefaultColor)).toLongLong()));
    image_ = bag.ReadProperty(QStringLiteral("Image"), QImage()).value<QImage>();
    setMax(bag.ReadTyped(QStringLiteral("Max"), 100).toInt());
    setMin(bag.ReadTyped(QStringLiteral("Min"), 0).toInt());
    setOrientation(bag.ReadTyped(QStringLiteral("Orientation"), 0).toInt());
    setScrolling(bag.ReadTyped(QStringLiteral("Scrolling"), 0).toInt());
    setShowText(bag.ReadTyped(QStringLiteral("ShowText"), false).toBool());
    setValue(bag.ReadTyped(QStringLiteral("Value"), 0).toInt());
}

void XP_ProgressBar::WriteProperties(PropertyBag& bag) const
{
    bag.set(QStringLiteral("Font"), font_);
    bag.WriteProperty(QStringLiteral("BrushStyle"), brushStyle_, DefaultBrushStyle);
    bag.WriteProperty(QStringLiteral("Color"), qlonglong(color_), qlonglong(DefaultColor));
    bag.WriteProperty(QStringLiteral("Image"), image_.isNull() ? QVariant() : QVariant(image_), QVariant());
    bag.WriteProperty(QStringLiteral("Max"), max_, 100);
    bag.WriteProperty(QStringLiteral("Min"), min_, 0);
    bag.WriteProperty(QStringLiteral("Orientation"), orientation_, 0);
    bag.WriteProperty(QStringLiteral("Scrolling"), scrolling_, 0);
    bag.WriteProperty(QStringLiteral("ShowText"), showText_, false);
    // The value itself, not the percentage: read back through the Value setter after Max and
    // Min, it gives the same bar under any range.
    bag.WriteProperty(QStringLiteral("Value"), Value(), 0);
}

bool XP_ProgressBar::EnsureBuffer(int width, int height)
{
    if (!buffer_.isNull()) {
        if (buffer_.height() < height || buffer_.width() < width)
            buffer_ = gfx::Surface(width, height);
    } else if (width > 0 && height > 0) {
        buffer_ = gfx::Surface(width, height);
    }
    return !buffer_.isNull();
}

progress::Look XP_ProgressBar::look() const
{
    progress::Look l;
    l.scrolling = scrolling_;
    l.orientation = orientation_;
    l.percent = percent_;
    l.color = color_;
    l.brushStyle = brushStyle_;
    l.image = image_;
    l.showText = showText_;
    l.font = font_;
    return l;
}

void XP_ProgressBar::render()
{
    if (percent_ > 100)
        percent_ = 100;
    // Until the widget has been given a size or shown, its size is Qt's placeholder: make no
    // buffer of that size.
    if (!testAttribute(Qt::WA_Resized) && !isVisible())
        return;
    if (!EnsureBuffer(width(), height()))
        return;
    progress::RenderProgressBar(buffer_, width(), height(), look());
}

void XP_ProgressBar::DrawProgressBar()
{
    render();
    update();
}

void XP_ProgressBar::DrawLine(int X, int Y, int Width, int Height, gfx::Surface& cHdc, std::uint32_t Color) const
{
    progress::DrawLine(X, Y, Width, Height, cHdc, Color);
}

void XP_ProgressBar::DrawGradient(std::uint32_t& lEndColor, std::uint32_t& lStartcolor, int X, int Y, int X2, int Y2,
                                  gfx::Surface& hdc, bool bH) const
{
    progress::DrawGradient(lEndColor, lStartcolor, X, Y, X2, Y2, hdc, bH);
}

void XP_ProgressBar::pDraw(gfx::Surface& hdc, int xSrc, int ySrc, int WidthSrc, int HeightSrc, int xDst, int yDst) const
{
    if (buffer_.isNull())
        return;
    const int w = WidthSrc < 1 ? buffer_.width() : WidthSrc;
    const int h = HeightSrc < 1 ? buffer_.height() : HeightSrc;
    hdc.copyFrom(buffer_, {xSrc, ySrc, xSrc + w, ySrc + h}, {xDst, yDst});
}

QImage XP_ProgressBar::clientImage() const
{
    if (buffer_.isNull())
        return {};
    return buffer_.image().copy(0, 0, std::min(width(), buffer_.width()), std::min(height(), buffer_.height()));
}

void XP_ProgressBar::paintEvent(QPaintEvent*)
{
    render();
    if (buffer_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), buffer_.image(), QRect(0, 0, width(), height()));
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

} // namespace quarbel
