#include "scrollbars/FlatScrollBarDrawing.h"

#include "controls/common/SystemColors.h"
#include "gfx/Edge.h"

#include <algorithm>

namespace quarbel {

namespace {

enum class Direction { Up, Down, Left, Right };

void drawArrow(gfx::Surface& s, const gfx::Rect& r, Direction d, gfx::Color c)
{
    const int k = std::max(1, (std::min(r.width(), r.height()) - 2) / 3);
    const int cx = r.left + r.width() / 2;
    const int cy = r.top + r.height() / 2;
    for (int line = 0; line < k; ++line) {
        // Half the length of this line: 0 at the tip, k - 1 at the base.
        const bool tipFirst = d == Direction::Up || d == Direction::Left;
        const int half = tipFirst ? line : k - 1 - line;
        if (d == Direction::Up || d == Direction::Down) {
            const int y = cy - k / 2 + line;
            s.fillRect({cx - half, y, cx + half + 1, y + 1}, c);
        } else {
            const int x = cx - k / 2 + line;
            s.fillRect({x, cy - half, x + 1, cy + half + 1}, c);
        }
    }
}

// Fills a button or the thumb and draws its frame or edge; returns the colour of its arrow.
gfx::Color drawPart(gfx::Surface& s, const gfx::Rect& r, ScrollPart part, const FlatScrollBarLook& look)
{
    const gfx::Color face = SystemColors::get(ButtonFace);
    const gfx::Color shadow = SystemColors::get(ButtonShadow);
    const gfx::Color text = look.enabled ? SystemColors::get(ButtonText) : SystemColors::get(GrayText);
    const bool pressed = look.enabled && look.pressed == part;
    const bool hot = look.enabled && !pressed && look.hot == part && look.pressed == ScrollPart::None;
    if (look.style == eStyle::Flat) {
        if (pressed) {
            s.fillRect(r, shadow);
            return SystemColors::get(ButtonHighlight);
        }
        if (hot) {
            s.fillRect(r, SystemColors::get(Highlight));
            return SystemColors::get(HighlightText);
        }
        s.fillRect(r, face);
        s.frameRect(r, shadow);
        return text;
    }
    s.fillRect(r, face);
    if (pressed)
        gfx::drawEdge(s, r, gfx::SunkenOuter, gfx::AllSides, SystemColors::edgeColors());
    else if (hot)
        gfx::drawEdge(s, r, gfx::RaisedInner, gfx::AllSides, SystemColors::edgeColors());
    return text;
}

}  // namespace

void drawFlatScrollBar(gfx::Surface& s, const FlatScrollBarLook& look)
{
    s.fillRect(s.bounds(), SystemColors::get(ScrollBar));
    if (look.enabled) {
        if (look.pressed == ScrollPart::SubPage)
            s.fillRect(look.subPage, SystemColors::get(ButtonShadow));
        if (look.pressed == ScrollPart::AddPage)
            s.fillRect(look.addPage, SystemColors::get(ButtonShadow));
    }
    const Direction sub = look.vertical ? Direction::Up : Direction::Left;
    const Direction add = look.vertical ? Direction::Down : Direction::Right;
    if (!look.subLine.empty())
        drawArrow(s, look.subLine, sub, drawPart(s, look.subLine, ScrollPart::SubLine, look));
    if (!look.addLine.empty())
        drawArrow(s, look.addLine, add, drawPart(s, look.addLine, ScrollPart::AddLine, look));
    if (look.enabled && !look.thumb.empty())
        drawPart(s, look.thumb, ScrollPart::Thumb, look);
}

}  // namespace quarbel
