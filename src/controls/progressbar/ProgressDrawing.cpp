#include "controls/progressbar/ProgressDrawing.h"

#include "controls/common/SystemColors.h"

#include <algorithm>

namespace quarbel::progress {

void DrawLine(int x, int y, int x2, int y2, gfx::Surface& s, std::uint32_t color)
{
    s.drawLine({x, y}, {x2, y2}, ResolveColor(color));
}

void DrawGradient(std::uint32_t& lEndColor, std::uint32_t& lStartcolor, int X, int Y, int X2, int Y2,
                  gfx::Surface& s, bool bH)
{
    lEndColor = ResolveColor(lEndColor);
    lStartcolor = ResolveColor(lStartcolor);
    const int n = bH ? X2 : Y2;
    // The per-line step of each channel in single precision; a zero length leaves it 0.
    float stepR = 0, stepG = 0, stepB = 0;
    if (n != 0) {
        stepR = float(gfx::red(lStartcolor) - gfx::red(lEndColor)) / float(n);
        stepG = float(gfx::green(lStartcolor) - gfx::green(lEndColor)) / float(n);
        stepB = float(gfx::blue(lStartcolor) - gfx::blue(lEndColor)) / float(n);
    }
    // Lines before the surface's left or top edge or past its right or bottom edge would not
    // show: only the visible ones are drawn (each line's colour depends on its index alone).
    const long long origin = bH ? X : Y;
    const long long extent = bH ? s.width() : s.height();
    const long long first = std::max<long long>(0, -origin);
    const long long last = std::min<long long>(n, extent - origin);
    for (long long j = first; j <= last; ++j) {
        const int i = static_cast<int>(j);
        const auto ch = [i](int end, float step) {
            const float v = float(end) + step * float(i);
            return gfx::roundEven(v);
        };
        const gfx::Color c = gfx::rgb(ch(gfx::red(lEndColor), stepR), ch(gfx::green(lEndColor), stepG),
                                      ch(gfx::blue(lEndColor), stepB));
        if (bH)
            DrawLine(X + i, Y, X + i, Y2, s, c);
        else
            DrawLine(X, Y + i, X2, Y + i, s, c);
    }
}

void DrawGradientOf(std::uint32_t endColor, std::uint32_t startColor, int X, int Y, int X2, int Y2,
                    gfx::Surface& s, bool bH)
{
    DrawGradient(endColor, startColor, X, Y, X2, Y2, s, bH);
}

void FillRectColor(const gfx::Rect& r, std::uint32_t color, gfx::Surface& s)
{
    s.fillRect(r, ResolveColor(color));
}

void FrameRectColor(const gfx::Rect& r, std::uint32_t color, gfx::Surface& s)
{
    s.frameRect(r, ResolveColor(color));
}

}  // namespace quarbel::progress
