#pragma once
// Draws a scroll bar in the flat looks, on a surface the size of the bar, from the places of
// its parts as the style lays them out (so that what is drawn is what the pointer hits).
//
// Flat: the track in the scroll bar colour; arrow buttons and thumb in the button face with a
// one-pixel button-shadow frame; the part under the pointer filled with the highlight and its
// arrow in the highlight text colour; a pressed part in the button shadow with its arrow in
// the button highlight.
// Encarta: the parts in the button face without a frame; the part under the pointer gets a
// thin raised edge, a pressed one a thin sunken edge.
// Either look: a pressed track half in the button shadow; a disabled bar has no thumb and
// grey arrows.
//
// Arrows are filled triangles pointing outwards, k = max(1, (min(w, h) - 2) / 3) lines deep,
// around the button's middle pixel (cx, cy) = (left + w / 2, top + h / 2). Along the arrow's
// direction the lines lie at c - k / 2 up to c - k / 2 + k - 1; the one at the tip is one
// pixel long and each one nearer the base two pixels longer.

#include "gfx/Surface.h"
#include "scrollbars/ScrollBarTypes.h"

namespace quarbel {

enum class ScrollPart { None, SubLine, AddLine, SubPage, AddPage, Thumb };

struct FlatScrollBarLook {
    eStyle style = eStyle::Flat;
    bool vertical = true;
    bool enabled = true;
    gfx::Rect subLine;  // the up or left arrow button
    gfx::Rect addLine;  // the down or right arrow button
    gfx::Rect subPage;  // the track before the thumb
    gfx::Rect addPage;  // the track after the thumb
    gfx::Rect thumb;
    ScrollPart hot = ScrollPart::None;
    ScrollPart pressed = ScrollPart::None;
};

void drawFlatScrollBar(gfx::Surface& s, const FlatScrollBarLook& look);

}  // namespace quarbel
