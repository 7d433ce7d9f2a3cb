#pragma once
// Copies between surfaces: the transparent-colour copy, the nearest-pixel stretch, and the
// inverting dotted focus frame.

#include "gfx/Surface.h"

namespace quarbel::gfx {

// Copies src (a rectangle of `from`) to `to`, leaving the destination unchanged wherever the
// source pixel equals the key colour.
void maskedCopy(Surface& dst, const Surface& from, const Rect& src, Point to, Color key);

// Scales src of `from` onto dst, each destination pixel taking the source pixel its centre
// falls on (no blending, so key colours survive the stretch).
void stretchCopy(Surface& dst, const Rect& dstRect, const Surface& from, const Rect& src);

// Inverts every other pixel of the rectangle's one-pixel outline (starting with its top-left
// pixel); drawing it twice restores the surface.
void drawFocusRect(Surface& s, const Rect& r);

// Inverts every pixel of the rectangle.
void invertRect(Surface& s, const Rect& r);

// The platform's state drawing of a picture: its shape is every pixel of `from` (within src)
// that is not the background colour.
enum class DrawStateMode {
    Mono,      // the shape as a flat silhouette in one colour
    Disabled,  // embossed: the shape in the highlight colour one pixel right and down, then in
               // the shadow colour in place
};
void drawState(Surface& dst, const Surface& from, const Rect& src, Point to, Color background,
               DrawStateMode mode, Color monoColor, Color highlight, Color shadow);

}  // namespace quarbel::gfx
