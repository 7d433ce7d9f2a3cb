#pragma once
// Text measured and drawn in a rectangle with the classic text-format flags. Glyphs are drawn
// without antialiasing so that a colour either is or is not the text colour.

#include "gfx/Surface.h"

#include <QFont>
#include <QString>

namespace quarbel::gfx {

// The platform's text-format flag values.
enum TextFormat : unsigned {
    TextLeft = 0x0,
    TextCenter = 0x1,
    TextRight = 0x2,
    TextVCenter = 0x4,  // with TextSingleLine only
    TextBottom = 0x8,   // with TextSingleLine only
    TextWordBreak = 0x10,
    TextSingleLine = 0x20,
    TextExpandTabs = 0x40,
    TextNoClip = 0x100,
    TextCalcRect = 0x400,  // measure only: the result is the rectangle the text needs
    TextNoPrefix = 0x800,  // without it "&x" shows x and "&&" shows &
    TextEndEllipsis = 0x8000,
    TextRtlReading = 0x20000,
};

// The font as the raster layer draws it (no antialiasing, no hinting changes between runs).
QFont rasterFont(const QFont& font);

// Width and height of the text laid out with the flags; wrapWidth is the line width used for
// TextWordBreak.
Size measureText(const QString& text, const QFont& font, unsigned flags, int wrapWidth = 0);

// Draws the text in r (clipped to r unless TextNoClip, and always to the surface's clip) and
// returns the rectangle the text occupies. With TextCalcRect nothing is drawn and the returned
// rectangle keeps r's left and top and takes the text's width and height.
Rect drawText(Surface& s, const QString& text, const Rect& r, unsigned flags, const QFont& font, Color color);

}  // namespace quarbel::gfx
