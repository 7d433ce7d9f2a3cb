// The hatched and picture-pattern progress bar styles.

#include "controls/common/SystemColors.h"
#include "controls/progressbar/ProgressMath.h"
#include "controls/progressbar/ProgressStyles.h"
#include "gfx/Brush.h"
#include "gfx/Edge.h"

namespace quarbel::progress {

void DrawHatched(gfx::Surface& s, int W, int H, const Look& look)
{
    gfx::drawEdge(s, {0, 0, W, H}, gfx::EdgeBump, gfx::AllSides, SystemColors::edgeColors());
    const gfx::Rect fill{2, 2, gfx::roundEven(look.percent / 101.0 * W), H - 2};
    // A pattern number the platform does not know makes no brush, and nothing is filled.
    if (const auto brush = gfx::Brush::hatch(look.brushStyle, look.color, LightenColor(look.color, 140)))
        s.fillRect(fill, *brush);
}

void DrawPattern(gfx::Surface& s, int W, int H, const Look& look)
{
    gfx::drawEdge(s, {0, 0, W, H}, gfx::SunkenOuter, gfx::AllSides, SystemColors::edgeColors());
    if (look.image.isNull())
        return;
    const int w = gfx::roundEven(look.percent / 101.0 * W);
    s.fillRect({2, 2, 2 + w, 2 + H - 4}, gfx::Brush::pattern(look.image));
}

}  // namespace quarbel::progress
