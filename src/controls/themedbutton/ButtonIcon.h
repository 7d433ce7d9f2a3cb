#pragma once
// The themed button's icon: where it goes, the pressed shift and lifted shadow, and the
// painters that draw it plain, through a mask colour, or in greys.

#include "controls/themedbutton/ButtonLook.h"
#include "gfx/Surface.h"

#include <QImage>
#include <optional>

namespace quarbel::themed {

// Top-left corner of an icon of side `size` for the alignment; margin is IconMargin. Unknown
// alignments give (0, 0).
gfx::Point IconPosition(int align, int W, int H, int size, int margin);

// Step 4 of the repaint: the icon in the displayed state.
void DrawButtonIcon(gfx::Surface& s, const ButtonLook& look, int iconMargin);

// The picture scaled to size x size at (x, y), blended over the surface by its alpha.
void drawIconScaled(gfx::Surface& s, const QImage& icon, int x, int y, int width, int height);

// Draws the picture's size x size work copy (an icon over the mask colour, a bitmap as it is)
// at (x, y), leaving the destination wherever the work copy shows the mask colour. Every
// other pixel becomes the shadow colour when one is given, else a grey when grey is set, else
// the picture's own pixel.
void PaintMaskedIcon(gfx::Surface& s, int x, int y, int size, const QImage& picture, gfx::Color maskColor,
                     std::optional<gfx::Color> shadow, bool grey);

// The icon in greys at (x, y), scaled to width x height: the sixteen neutral greys stay, any
// other colour becomes round(G x 0.59 + R x 0.33 + B x 0.11), at most 255. The icon's alpha
// is its mask. False when the surface or the icon is null.
bool PaintIconGrayscale(gfx::Surface& dest, const QImage& icon, int destX, int destY, int destHeight,
                        int destWidth);

// The grey PaintIconGrayscale gives a colour.
gfx::Color iconGrey(gfx::Color c);

}  // namespace quarbel::themed
