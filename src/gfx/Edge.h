#pragma once
// 3-D edges as the classic window manager draws them: an outer and an inner one-pixel border,
// each raised or sunken, on any of the four sides.

#include "gfx/Surface.h"

namespace quarbel::gfx {

// The colours of the 3-D look (system colours 22, 20, 16, 21 and 15 on the classic desktop).
struct EdgeColors {
    Color light;       // 3-D light: the outer top-left of a raised edge
    Color highlight;   // button highlight: the inner top-left of a raised edge
    Color shadow;      // button shadow: the inner bottom-right of a raised edge
    Color darkShadow;  // 3-D dark shadow: the outer bottom-right of a raised edge
    Color face;        // button face: the middle
};

// Border bits and their combinations, with the platform's numbers.
enum Edge : unsigned {
    RaisedOuter = 0x1,
    SunkenOuter = 0x2,
    RaisedInner = 0x4,
    SunkenInner = 0x8,
    EdgeRaised = RaisedOuter | RaisedInner,  // 5
    EdgeSunken = SunkenOuter | SunkenInner,  // 10
    EdgeEtched = SunkenOuter | RaisedInner,  // 6
    EdgeBump = RaisedOuter | SunkenInner,    // 9
};

enum Sides : unsigned {
    SideLeft = 0x1,
    SideTop = 0x2,
    SideRight = 0x4,
    SideBottom = 0x8,
    AllSides = 0xF,
    FillMiddle = 0x800,  // fill what the borders leave with the face colour
};

// Draws the edge inside r. Each border is one pixel: the top and left lines of a border stop
// one pixel before the far corner, the bottom and right lines run the whole side, so the
// top-right and bottom-left corner pixels take the bottom-right colour. Returns the rectangle
// left inside the borders drawn.
Rect drawEdge(Surface& s, const Rect& r, unsigned edge, unsigned sides, const EdgeColors& colors);

}  // namespace quarbel::gfx
