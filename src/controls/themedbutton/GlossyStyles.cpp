#include "controls/themedbutton/GlossyStyles.h"

namespace quarbel::themed {

bool DrawGlossyFace(gfx::Surface& s, int W, int H, const GlossyLook& look)
{
    switch (look.style) {
    case FixedGlossy:
        if (look.useCustomColors)
            DrawCustomGlossy(s, W, H, look);
        else
            DrawFixedGlossy(s, W, H, look);
        return true;
    case SystemGlossy: DrawSystemGlossy(s, W, H, look); return true;
    case SystemFlatGradient: DrawSystemFlatGradient(s, W, H, look); return true;
    case SystemRaisedGradient: DrawSystemRaisedGradient(s, W, H, look); return true;
    case RoundedPixmap: DrawRoundedPixmap(s, W, H, look); return true;
    default: return false;
    }
}

int IconMarginAfterFace(int style)
{
    switch (style) {
    case SystemGlossy:
    case SystemFlatGradient: return 4;
    case SystemRaisedGradient: return 6;
    case RoundedPixmap: return 7;
    default: return 3;
    }
}

gfx::Region ButtonRegion(int style, int W, int H)
{
    switch (style) {
    case FixedGlossy:
    case SystemGlossy:
        return gfx::Region::polygon(
            {{0, 1}, {1, 0}, {W - 1, 0}, {W, 1}, {W, H - 2}, {W - 2, H}, {2, H}, {0, H - 2}},
            gfx::FillMode::Alternate);
    case SystemFlatGradient:
    case SystemRaisedGradient:
        return gfx::Region::polygon(
            {{0, 2}, {2, 0}, {W - 3, 0}, {W, 3}, {W, H - 3}, {W - 3, H}, {4, H}, {0, H - 4}},
            gfx::FillMode::Alternate);
    case RoundedPixmap: return gfx::Region::roundRect({0, 0, W + 1, H + 1}, 18, 18);
    default: return gfx::Region::rect({0, 0, W, H});
    }
}

}  // namespace quarbel::themed
