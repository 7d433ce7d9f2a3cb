#include "controls/themedbutton/ButtonIcon.h"

#include <QPainter>
#include <algorithm>

namespace quarbel::themed {

namespace {

constexpr gfx::Color ShadowGrey = 0x808080;

gfx::Color fromArgb(QRgb p) { return gfx::rgb(qRed(p), qGreen(p), qBlue(p)); }
QRgb toRgb(gfx::Color c) { return qRgb(gfx::red(c), gfx::green(c), gfx::blue(c)); }

int half(int v) { return gfx::roundEven(v / 2.0); }

// The grey of the masked painter: the red share is rounded on its own first.
gfx::Color maskedGrey(gfx::Color c)
{
    const int v = std::min(
        255, gfx::roundEven(gfx::green(c) * 0.59 + gfx::roundEven(gfx::red(c) * 0.3) + gfx::blue(c) * 0.11));
    return gfx::rgb(v, v, v);
}

// The picture as the masked painter sees it: size x size, an icon (a picture with alpha)
// blended at its own size over the mask colour, a bitmap as it is; what the picture does not
// cover shows the mask colour.
QImage workCopy(const QImage& picture, int size, gfx::Color maskColor)
{
    QImage work(size, size, QImage::Format_RGB32);
    work.fill(toRgb(maskColor));
    QPainter painter(&work);
    painter.setCompositionMode(picture.hasAlphaChannel() ? QPainter::CompositionMode_SourceOver
                                                         : QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), picture);
    return work;
}

}  // namespace

gfx::Point IconPosition(int align, int W, int H, int size, int margin)
{
    switch (align) {
    case AlignCenter: return {half(W - size), half(H - size)};
    case AlignLeft: return {margin, half(H - size)};
    case AlignRight: return {W - size - margin, half(H - size)};
    case AlignTop: return {half(W - size), margin};
    case AlignBottom: return {half(W - size), H - size - margin};
    default: return {0, 0};
    }
}

void drawIconScaled(gfx::Surface& s, const QImage& icon, int x, int y, int width, int height)
{
    if (s.isNull() || icon.isNull() || width <= 0 || height <= 0)
        return;
    QPainter painter(&s.qimage());
    if (s.clip())
        painter.setClipRegion(s.clip()->qregion());
    painter.drawImage(QRect(x, y, width, height), icon);
}

void PaintMaskedIcon(gfx::Surface& s, int x, int y, int size, const QImage& picture, gfx::Color maskColor,
                     std::optional<gfx::Color> shadow, bool grey)
{
    if (s.isNull() || picture.isNull() || size <= 0)
        return;
    const QImage work = workCopy(picture, size, maskColor);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            const gfx::Color c = fromArgb(work.pixel(px, py));
            if (c == maskColor || !s.writable(x + px, y + py))
                continue;
            s.setPixel(x + px, y + py, shadow ? *shadow : grey ? maskedGrey(c) : c);
        }
    }
}

gfx::Color iconGrey(gfx::Color c)
{
    // The neutral greys of the sixteen-colour palette keep their value (0x909090 is not one).
    if (gfx::red(c) == gfx::green(c) && gfx::green(c) == gfx::blue(c)) {
        const int v = gfx::red(c);
        if (v == 0xFF || (v % 0x10 == 0 && v != 0x90))
            return c;
    }
    const int v =
        std::min(255, gfx::roundEven(gfx::green(c) * 0.59 + gfx::red(c) * 0.33 + gfx::blue(c) * 0.11));
    return gfx::rgb(v, v, v);
}

bool PaintIconGrayscale(gfx::Surface& dest, const QImage& icon, int destX, int destY, int destHeight,
                        int destWidth)
{
    if (dest.isNull() || icon.isNull())
        return false;
    QImage greyed = icon.convertToFormat(QImage::Format_ARGB32);
    for (int x = 0; x < greyed.width(); ++x) {
        for (int y = 0; y < greyed.height(); ++y) {
            const QRgb p = greyed.pixel(x, y);
            const gfx::Color g = iconGrey(fromArgb(p));
            greyed.setPixel(x, y, qRgba(gfx::red(g), gfx::green(g), gfx::blue(g), qAlpha(p)));
        }
    }
    drawIconScaled(dest, greyed, destX, destY, destWidth, destHeight);
    return true;
}

void DrawButtonIcon(gfx::Surface& s, const ButtonLook& l, int iconMargin)
{
    if (l.icon.isNull())
        return;
    const int size = l.iconSize;
    gfx::Point at = IconPosition(l.iconAlign, l.width, l.height, size, iconMargin);
    if (l.state == Pressed) {
        at.x += 1;
        at.y += 1;
    } else if (l.state == Hot && l.style == HighlightFill) {
        // The lifted look: a grey shadow where the icon was, the icon two pixels up and left.
        if (l.useMaskColor) {
            PaintMaskedIcon(s, at.x + 1, at.y + 1, size, l.icon, l.maskColor, ShadowGrey, false);
            PaintMaskedIcon(s, at.x - 1, at.y - 1, size, l.icon, l.maskColor, std::nullopt, false);
        } else {
            drawIconScaled(s, l.icon, at.x, at.y, size, size);
            const gfx::Color background = s.pixel(1, 1);
            for (int y = at.y; y <= at.y + size; ++y)
                for (int x = at.x; x <= at.x + size; ++x)
                    if (s.pixel(x, y) != gfx::InvalidColor && s.pixel(x, y) != background)
                        s.setPixel(x, y, ShadowGrey);
        }
        at.x -= 2;
        at.y -= 2;
    }
    if (l.useMaskColor)
        PaintMaskedIcon(s, at.x, at.y, size, l.icon, l.maskColor, std::nullopt, !l.enabled);
    else if (l.enabled)
        drawIconScaled(s, l.icon, at.x, at.y, size, size);
    else
        PaintIconGrayscale(s, l.icon, at.x, at.y, size, size);
}

}  // namespace quarbel::themed
