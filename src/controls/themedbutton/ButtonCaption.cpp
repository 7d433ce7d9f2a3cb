#include "controls/themedbutton/ButtonCaption.h"

#include "controls/common/SystemColors.h"
#include "controls/themedbutton/ButtonRender.h"
#include "gfx/Text.h"

namespace quarbel::themed {

namespace {

int half(int v) { return gfx::roundEven(v / 2.0); }

}  // namespace

std::optional<CaptionLayout> LayoutCaption(const QString& caption, const QFont& font, int W, int H, int align,
                                           int margin, bool rightToLeft)
{
    // The wrapped caption's extent, measured in the inset rectangle: t.left and t.top stay 4.
    const gfx::Rect inset{4, 4, W - 4, H - 4};
    gfx::Surface none;
    const gfx::Rect t = gfx::drawText(
        none, caption, inset, withReadingOrder(gfx::TextCalcRect | gfx::TextWordBreak, rightToLeft), font, 0);
    const int th = t.bottom - t.top;
    const int centredLeft = half(W - t.right - t.left);
    const int centredRight = half(W + t.right - t.left);
    const int middleTop = half(H - t.bottom - t.top) + 3;
    const int middleBottom = half(H + t.bottom - t.top);
    using namespace gfx;
    switch (align) {
    case AlignCenter:
        return CaptionLayout{{centredLeft, middleTop, centredRight, middleBottom},
                             TextCenter | TextVCenter | TextWordBreak};
    case AlignLeft:
        return CaptionLayout{{margin, middleTop, t.right + margin, middleBottom},
                             TextVCenter | TextWordBreak};
    case AlignRight:
        return CaptionLayout{{W - t.right - t.left - margin, middleTop, W - t.left - margin, middleBottom},
                             TextRight | TextVCenter | TextWordBreak};
    case AlignTop:
        return CaptionLayout{{centredLeft, half(margin), centredRight, half(margin) + th},
                             TextCenter | TextWordBreak};
    case AlignBottom:
        return CaptionLayout{{centredLeft, H - th - half(margin), centredRight, H - half(margin)},
                             TextCenter | TextBottom | TextWordBreak};
    default: return std::nullopt;
    }
}

unsigned withReadingOrder(unsigned format, bool rightToLeft)
{
    return rightToLeft ? format | gfx::TextRtlReading : format;
}

void DrawCaption(gfx::Surface& s, const ButtonLook& l)
{
    gfx::Color color = 0;
    if (l.state == Disabled)
        color = SystemColors::get(GrayText);
    else if (!l.useCustomColors)
        color = SystemColors::get(ButtonText);
    else
        color = l.state == Normal ? l.fontColor : l.fontHighlightColor;
    gfx::drawText(s, l.caption, l.captionRect, l.captionFormat, l.font, color);
}

}  // namespace quarbel::themed
