// The flat, etched, shaded and dark progress bar styles. They always fill from left to right.

#include "controls/common/SystemColors.h"
#include "controls/progressbar/ProgressDrawing.h"
#include "controls/progressbar/ProgressMath.h"
#include "controls/progressbar/ProgressStyles.h"
#include "gfx/Edge.h"

namespace quarbel::progress {

void DrawFlat(gfx::Surface& s, int W, int H, const Look& look)
{
    FrameRectColor({0, 0, W, H}, LightenColor(look.color, 100), s);
    FillRectColor({1, 1, gfx::roundEven(look.percent / 100.0 * W), H - 1}, LightenColor(look.color, 180), s);
}

void DrawEtched(gfx::Surface& s, int W, int H, const Look& look)
{
    gfx::drawEdge(s, {0, 0, W, H}, gfx::EdgeEtched, gfx::AllSides, SystemColors::edgeColors());
    const int x2 = gfx::roundEven(look.percent / 100.0 * (W - 4));
    DrawGradientOf(LightenColor(look.color, 140), LightenColor(look.color, 200), 2, 2, x2, H - 3, s, true);
}

void DrawShaded(gfx::Surface& s, int W, int H, const Look& look)
{
    const gfx::Color K = look.color;
    FrameRectColor({0, 0, W, H}, LightenColor(K, 10), s);
    const int fillRight = gfx::roundEven(look.percent / 101.0 * W);
    DrawGradientOf(K, LightenColor(K, 100), 2, 2, W - 2, H - 5, s, false);
    DrawGradientOf(LightenColor(K, 250), K, 3, 3, fillRight, H - 6, s, false);
    DrawLine(fillRight, 2, fillRight, H - 2, s, LightenColor(K, 25));
}

void DrawDark(gfx::Surface& s, int W, int H, const Look& look)
{
    const gfx::Color K = look.color;
    FrameRectColor({0, 0, W, H}, BlendColor(K, 0, 200), s);
    const int x2 = gfx::roundEven(look.percent / 100.0 * (W - 5));
    DrawGradientOf(0x000000, LightenColor(BlendColor(K, 0, 100), 10), 2, 2, x2, H - 2, s, true);
}

}  // namespace quarbel::progress
