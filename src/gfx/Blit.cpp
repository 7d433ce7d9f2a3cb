#include "gfx/Blit.h"

namespace quarbel::gfx {

void maskedCopy(Surface& dst, const Surface& from, const Rect& src, Point to, Color key)
{
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const Color c = from.pixel(src.left + x, src.top + y);
            if (c != InvalidColor && c != key)
                dst.setPixel(to.x + x, to.y + y, c);
        }
}

void stretchCopy(Surface& dst, const Rect& dstRect, const Surface& from, const Rect& src)
{
    if (dstRect.empty() || src.empty())
        return;
    for (int y = 0; y < dstRect.height(); ++y) {
        const int sy = src.top + static_cast<int>((2LL * y + 1) * src.height() / (2LL * dstRect.height()));
        for (int x = 0; x < dstRect.width(); ++x) {
            const int sx = src.left + static_cast<int>((2LL * x + 1) * src.width() / (2LL * dstRect.width()));
            const Color c = from.pixel(sx, sy);
            if (c != InvalidColor)
                dst.setPixel(dstRect.left + x, dstRect.top + y, c);
        }
    }
}

namespace {

void invertPixel(Surface& s, int x, int y)
{
    const Color c = s.pixel(x, y);
    if (c != InvalidColor)
        s.setPixel(x, y, c ^ 0xFFFFFFu);
}

}  // namespace

void drawFocusRect(Surface& s, const Rect& r)
{
    if (r.empty())
        return;
    // Walk the outline once, each pixel visited once, inverting every other one.
    int k = 0;
    const auto visit = [&](int x, int y) {
        if (k++ % 2 == 0)
            invertPixel(s, x, y);
    };
    for (int x = r.left; x < r.right; ++x)
        visit(x, r.top);
    for (int y = r.top + 1; y < r.bottom; ++y)
        visit(r.right - 1, y);
    if (r.height() > 1)
        for (int x = r.right - 2; x >= r.left; --x)
            visit(x, r.bottom - 1);
    if (r.width() > 1)
        for (int y = r.bottom - 2; y > r.top; --y)
            visit(r.left, y);
}

void invertRect(Surface& s, const Rect& r)
{
    const Rect a = r.intersected(s.bounds());
    for (int y = a.top; y < a.bottom; ++y)
        for (int x = a.left; x < a.right; ++x)
            invertPixel(s, x, y);
}

void drawState(Surface& dst, const Surface& from, const Rect& src, Point to, Color background,
               DrawStateMode mode, Color monoColor, Color highlight, Color shadow)
{
    const auto paintShape = [&](int dx, int dy, Color c) {
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x) {
                const Color p = from.pixel(src.left + x, src.top + y);
                if (p != InvalidColor && p != background)
                    dst.setPixel(to.x + x + dx, to.y + y + dy, c);
            }
    };
    if (mode == DrawStateMode::Mono) {
        paintShape(0, 0, monoColor);
        return;
    }
    paintShape(1, 1, highlight);
    paintShape(0, 0, shadow);
}

}  // namespace quarbel::gfx
