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
    // Lines past the surface's right or bottom edge would not show: stop there.
    const long long visible = bH ? static_cast<long long>(s.width()) - X : static_cast<long long>(s.height()) - Y;
    const long long last = std::min<long long>(n, visible);
    for (int i = 0; i <= last; ++i) {
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

} // namespace quarbel::progress
