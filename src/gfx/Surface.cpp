#include "gfx/Surface.h"

#include <cstdlib>

namespace quarbel::gfx {

namespace {

QRgb toQRgb(Color c) { return qRgb(red(c), green(c), blue(c)); }

}  // namespace

Surface::Surface(int width, int height, Color fill)
    : m_image(width > 0 ? width : 0, height > 0 ? height : 0, QImage::Format_RGB32)
{
    if (!m_image.isNull())
        m_image.fill(toQRgb(fill));
}

Surface::Surface(const QImage& image) : m_image(image.convertToFormat(QImage::Format_RGB32)) {}

bool Surface::writable(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return false;
    return !m_clip || m_clip->contains(x, y);
}

Color Surface::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return InvalidColor;
    const QRgb p = reinterpret_cast<const QRgb*>(m_image.constScanLine(y))[x];
    return rgb(qRed(p), qGreen(p), qBlue(p));
}

void Surface::setPixel(int x, int y, Color c)
{
    if (writable(x, y))
        reinterpret_cast<QRgb*>(m_image.scanLine(y))[x] = toQRgb(c);
}

void Surface::fillRect(const Rect& r, Color c)
{
    const Rect a = r.intersected(bounds());
    const QRgb v = toQRgb(c);
    for (int y = a.top; y < a.bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(y));
        for (int x = a.left; x < a.right; ++x)
            if (!m_clip || m_clip->contains(x, y))
                line[x] = v;
    }
}

void Surface::fillRect(const Rect& r, const Brush& brush)
{
    const Rect a = r.intersected(bounds());
    for (int y = a.top; y < a.bottom; ++y)
        for (int x = a.left; x < a.right; ++x)
            if (const auto c = brush.at(x, y))
                setPixel(x, y, *c);
}

void Surface::fillRegion(const Region& region, Color c) { fillRegion(region, Brush::solid(c)); }

void Surface::fillRegion(const Region& region, const Brush& brush)
{
    for (const QRect& q : region.qregion())
        fillRect({q.left(), q.top(), q.left() + q.width(), q.top() + q.height()}, brush);
}

void Surface::frameRect(const Rect& r, Color c)
{
    if (r.empty())
        return;
    fillRect({r.left, r.top, r.right, r.top + 1}, c);
    fillRect({r.left, r.bottom - 1, r.right, r.bottom}, c);
    fillRect({r.left, r.top, r.left + 1, r.bottom}, c);
    fillRect({r.right - 1, r.top, r.right, r.bottom}, c);
}

void Surface::drawLine(Point from, Point to, Color c)
{
    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    const long long adx = std::llabs(dx);
    const long long ady = std::llabs(dy);
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const long long major = xMajor ? adx : ady;
    const long long minor = xMajor ? ady : adx;
    const int sMinor = xMajor ? sy : sx;
    for (long long i = 0; i < major; ++i) {
        // The exact minor offset is i * minor / major; ties go to the smaller coordinate,
        // which is the smaller offset when stepping forward and the larger one backward.
        const long long twice = 2 * i * minor;
        const long long q = sMinor > 0 ? (twice + major - 1) / (2 * major) : (twice + major) / (2 * major);
        const int m = static_cast<int>(q) * sMinor;
        if (xMajor)
            setPixel(from.x + static_cast<int>(i) * sx, from.y + m, c);
        else
            setPixel(from.x + m, from.y + static_cast<int>(i) * sy, c);
    }
}

void Surface::copyFrom(const Surface& from, const Rect& src, Point to)
{
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const Color c = from.pixel(src.left + x, src.top + y);
            if (c != InvalidColor)
                setPixel(to.x + x, to.y + y, c);
        }
}

}  // namespace quarbel::gfx
