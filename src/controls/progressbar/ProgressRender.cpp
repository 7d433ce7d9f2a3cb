// The repaint of a progress bar: background, the selected style, the text overlay.

#include "controls/progressbar/ProgressDrawing.h"
#include "controls/progressbar/ProgressMath.h"
#include "controls/progressbar/ProgressStyles.h"
#include "gfx/Text.h"

namespace quarbel::progress {

void DrawStyle(gfx::Surface& s, int W, int H, const Look& look)
{
    switch (look.scrolling) {
    case Flat: DrawFlat(s, W, H, look); break;
    case Etched: DrawEtched(s, W, H, look); break;
    case Shaded: DrawShaded(s, W, H, look); break;
    case Dark: DrawDark(s, W, H, look); break;
    case Hatched: DrawHatched(s, W, H, look); break;
    case Pattern: DrawPattern(s, W, H, look); break;
    case Glass: DrawGlass(s, W, H, look); break;
    default: DrawXPStyle(s, W, H, look); break;
    }
}

QString PercentText(const Look& look)
{
    if (look.scrolling == XPBusy)
        return QStringLiteral("Gathering Required Information");
    return QString::number(look.percent) + QStringLiteral(" %");
}

void DrawPercentText(gfx::Surface& s, int W, int H, const Look& look)
{
    if (!look.showText)
        return;
    const QString text = PercentText(look);
    const bool contrast = look.scrolling == Dark || look.scrolling == Glass;
    const gfx::Color color = look.scrolling == Dark ? 0xC0C0C0 : 0x000040;
    const gfx::Size size = gfx::measureText(text, look.font, gfx::TextSingleLine);
    gfx::Rect r;
    r.left = gfx::roundEven(W / 2.0 - size.width / 2.0);
    r.top = gfx::roundEven(H / 2.0 - size.height / 2.0);
    r.right = r.left + size.width;
    r.bottom = r.top + size.height;
    const double fillX = look.percent / 100.0 * W;
    if (!(contrast && fillX > r.right))
        gfx::drawText(s, text, r, gfx::TextSingleLine, look.font, color);
    if (contrast)
        DrawFillText(s, r, fillX, look);
}

void DrawFillText(gfx::Surface& s, const gfx::Rect& textRect, double fillX, const Look& look)
{
    if (fillX < textRect.left)
        return;
    const gfx::Color color = look.scrolling == Dark ? LightenColor(look.color, 80) : 0xFFFFFF;
    gfx::Rect r = textRect;
    r.right = gfx::roundEven(fillX);
    // Left-aligned from the same left edge, so the glyphs fall where the full text's do.
    gfx::drawText(s, PercentText(look), r, gfx::TextSingleLine, look.font, color);
}

void RenderProgressBar(gfx::Surface& s, int W, int H, const Look& look)
{
    FillRectColor({0, 0, W, H}, look.scrolling == Dark ? 0x000000 : 0xFFFFFF, s);
    DrawStyle(s, W, H, look);
    DrawPercentText(s, W, H, look);
}

}  // namespace quarbel::progress
