#include "gfx/Edge.h"

namespace quarbel::gfx {

namespace {

struct BorderColors {
    Color topLeft;
    Color bottomRight;
};

// One border's colours. A raised outer border is light over dark shadow, a raised inner one
// highlight over shadow; sunken borders swap their pair. When only one border is asked for,
// it is drawn in the outer position with its own colours.
BorderColors outerColors(unsigned edge, const EdgeColors& c)
{
    if (edge & RaisedOuter)
        return {c.light, c.darkShadow};
    return {c.shadow, c.highlight};
}

BorderColors innerColors(unsigned edge, const EdgeColors& c)
{
    if (edge & RaisedInner)
        return {c.highlight, c.shadow};
    return {c.darkShadow, c.light};
}

void drawBorder(Surface& s, const Rect& r, unsigned sides, BorderColors colors)
{
    if (r.empty())
        return;
    if (sides & SideTop)
        s.drawLine({r.left, r.top}, {r.right - 1, r.top}, colors.topLeft);
    if (sides & SideLeft)
        s.drawLine({r.left, r.top}, {r.left, r.bottom - 1}, colors.topLeft);
    if (sides & SideBottom)
        s.drawLine({r.left, r.bottom - 1}, {r.right, r.bottom - 1}, colors.bottomRight);
    if (sides & SideRight)
        s.drawLine({r.right - 1, r.top}, {r.right - 1, r.bottom}, colors.bottomRight);
}

Rect shrink(const Rect& r, unsigned sides)
{
    return {r.left + ((sides & SideLeft) ? 1 : 0), r.top + ((sides & SideTop) ? 1 : 0),
            r.right - ((sides & SideRight) ? 1 : 0), r.bottom - ((sides & SideBottom) ? 1 : 0)};
}

}  // namespace

Rect drawEdge(Surface& s, const Rect& r, unsigned edge, unsigned sides, const EdgeColors& colors)
{
    const bool hasOuter = (edge & (RaisedOuter | SunkenOuter)) != 0;
    const bool hasInner = (edge & (RaisedInner | SunkenInner)) != 0;
    Rect inside = r;
    if (hasOuter) {
        drawBorder(s, inside, sides, outerColors(edge, colors));
        inside = shrink(inside, sides);
    }
    if (hasInner) {
        drawBorder(s, inside, sides, innerColors(edge, colors));
        inside = shrink(inside, sides);
    }
    if ((sides & FillMiddle) && !inside.empty())
        s.fillRect(inside, colors.face);
    return inside;
}

}  // namespace quarbel::gfx
