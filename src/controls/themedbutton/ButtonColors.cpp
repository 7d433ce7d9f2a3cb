#include "controls/themedbutton/ButtonColors.h"

#include "controls/common/SystemColors.h"

#include <algorithm>

namespace quarbel::themed {

namespace {

constexpr int clampChannel(int v) { return std::clamp(v, 0, 255); }

// The colour at step i of n from a to b: a + (b - a) * i / n per channel, the quotient in
// single precision, halves to even.
gfx::Color gradientStep(gfx::Color a, gfx::Color b, int i, int n)
{
    const auto ch = [i, n](int from, int to) {
        const float v = float(from) + float((to - from) * i) / float(n);
        return clampChannel(gfx::roundEven(v));
    };
    return gfx::rgb(ch(gfx::red(a), gfx::red(b)), ch(gfx::green(a), gfx::green(b)),
                    ch(gfx::blue(a), gfx::blue(b)));
}

}  // namespace

gfx::Color TranslateColor(std::uint32_t value)
{
    if (value & 0x80000000u) {
        const std::uint32_t n = value & 0x7FFFFFFFu;
        return n < std::uint32_t(SystemColorCount) ? SystemColors::get(int(n)) : gfx::InvalidColor;
    }
    return (value & 0xFF000000u) ? gfx::InvalidColor : value;
}

gfx::Color AverageColor(gfx::Color a, gfx::Color b)
{
    const auto ch = [](int x, int y) { return gfx::roundEven((x + y) / 2.0); };
    return gfx::rgb(ch(gfx::red(a), gfx::red(b)), ch(gfx::green(a), gfx::green(b)),
                    ch(gfx::blue(a), gfx::blue(b)));
}

gfx::Color BlendTowardWhite(gfx::Color c, int k)
{
    const auto ch = [k](int v) { return std::min(255, k + v * (255 - k) / 255); };
    return gfx::rgb(ch(gfx::red(c)), ch(gfx::green(c)), ch(gfx::blue(c)));
}

gfx::Color OffsetColor(gfx::Color c, int d)
{
    return gfx::rgb(clampChannel(gfx::red(c) + d), clampChannel(gfx::green(c) + d),
                    clampChannel(gfx::blue(c) + d));
}

void VerticalGradient(gfx::Surface& s, gfx::Color top, gfx::Color bottom, int x1, int y0, int x2, int n)
{
    // Lines past the surface would not show; only the visible rows are drawn.
    const int first = std::max(0, -y0);
    const int last = std::min(n, s.height() - 1 - y0);
    for (int i = first; i <= last && n > 0; ++i)
        s.drawLine({x1, y0 + i}, {x2, y0 + i}, gradientStep(top, bottom, i, n));
}

void HorizontalGradient(gfx::Surface& s, gfx::Color left, gfx::Color right, int x0, int y1, int x1, int y2)
{
    const int n = x1 - x0;
    const int first = std::max(0, -x0);
    const int last = std::min(n, s.width() - 1 - x0);
    for (int i = first; i <= last && n > 0; ++i)
        s.drawLine({x0 + i, y1}, {x0 + i, y2}, gradientStep(left, right, i, n));
}

void drawFrame(gfx::Surface& s, int x, int y, int w, int h, gfx::Color c)
{
    s.drawLine({x, y}, {x + w, y}, c);
    s.drawLine({x + w, y}, {x + w, y + h}, c);
    s.drawLine({x + w, y + h}, {x, y + h}, c);
    s.drawLine({x, y + h}, {x, y}, c);
}

void fillArea(gfx::Surface& s, int x, int y, int w, int h, gfx::Color c)
{
    if (w > 0 && h > 0)
        s.fillRect({x, y, x + w, y + h}, c);
}

}  // namespace quarbel::themed
