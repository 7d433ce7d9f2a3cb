#pragma once
// XP_ProgressBar: the owner-drawn progress bar with ten drawing styles. It keeps its own
// off-screen buffer, which only ever grows, redraws completely on every change of value,
// colour or style, and shows the buffer in one copy so that frequent updates do not flicker.

#include "controls/common/PropertyBag.h"
#include "controls/progressbar/ProgressMath.h"
#include "controls/progressbar/ProgressStyles.h"
#include "gfx/Surface.h"

#include <QFont>
#include <QImage>
#include <QWidget>
#include <cstdint>

namespace quarbel {

class XP_ProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit XP_ProgressBar(QWidget* parent = nullptr);

    // Value runs from Min to Max; Max and Min are stored without a repaint.
    int Max() const { return m_max; }
    void setMax(int cMax);
    int Min() const { return m_min; }
    void setMin(int cMin);
    // Reading gives the value the stored percentage stands for.
    int Value() const;
    // Percent = round((v - Min) * 100 / (Max - Min)), halves to even, then a repaint. With Max
    // equal to Min, or a product outside 32 bits, Percent keeps its value and the error is kept
    // in lastValueError().
    void setValue(int v);
    progress::ValueError assignValue(int v);
    progress::ValueError lastValueError() const { return m_lastValueError; }
    int Percent() const { return m_percent; }

    // Always the resolved colour; a system-colour reference is resolved when assigned.
    std::uint32_t Color() const { return m_color; }
    void setColor(std::uint32_t c);
    int Scrolling() const { return m_scrolling; }
    void setScrolling(int lScrolling);
    bool ShowText() const { return m_showText; }
    void setShowText(bool bShowText);
    int Orientation() const { return m_orientation; }
    void setOrientation(int cOrientation);
    // The hatch pattern of the Hatched style; stored without a repaint.
    void setBrushStyle(int style);
    int brushStyle() const { return m_brushStyle; }
    void setImage(const QImage& handle);
    const QImage& Image() const { return m_image; }
    void setFont(const QFont& font);
    const QFont& Font() const { return m_font; }

    // Font, BrushStyle, Color, Image, Max, Min, Orientation, Scrolling, ShowText, Value, in
    // this order; a name missing from the bag takes its default.
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // Repaints the whole control into the buffer and asks for it to be shown.
    void DrawProgressBar();
    // A line from (X, Y) to the end point (Width, Height), the end point not painted.
    void DrawLine(int X, int Y, int Width, int Height, gfx::Surface& cHdc, std::uint32_t Color) const;
    void DrawGradient(std::uint32_t& lEndColor, std::uint32_t& lStartcolor, int X, int Y, int X2, int Y2,
                      gfx::Surface& hdc, bool bH) const;
    // Copies WidthSrc x HeightSrc pixels of the buffer from (xSrc, ySrc) to (xDst, yDst) of hdc;
    // a width or height below 1 means the buffer's.
    void pDraw(gfx::Surface& hdc, int xSrc, int ySrc, int WidthSrc, int HeightSrc, int xDst, int yDst) const;

    // The buffer and its size; the client part (0, 0, width(), height()) is what is shown.
    const gfx::Surface& buffer() const { return m_buffer; }
    gfx::Size bufferSize() const { return {m_buffer.width(), m_buffer.height()}; }
    // Grows the buffer to at least width x height; creates it when none exists and both are
    // positive. Returns false when there is no buffer afterwards.
    bool EnsureBuffer(int width, int height);
    // The client area as last drawn (a copy of the buffer's visible part).
    QImage clientImage() const;
    // What one repaint draws from the current state.
    progress::Look look() const;

    QSize sizeHint() const override { return {150, 17}; }

signals:
    void propertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void render();

    std::uint32_t m_color = 0;
    int m_max = 100;
    int m_min = 0;
    int m_percent = 0;
    bool m_showText = false;
    int m_scrolling = 0;
    int m_orientation = 0;
    int m_brushStyle = 0;
    QImage m_image;
    QFont m_font;
    gfx::Surface m_buffer;
    progress::ValueError m_lastValueError = progress::ValueError::None;
};

}  // namespace quarbel
