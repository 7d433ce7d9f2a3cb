#pragma once
// The themed button's repaint: clear, face, icon, caption, one plain routine per step and one
// per style (the glossy and gradient faces and the window regions are in GlossyStyles.h).

#include "controls/themedbutton/ButtonLook.h"
#include "gfx/Region.h"
#include "gfx/Surface.h"

#include <optional>

namespace quarbel::themed {

// What a repaint hands back to the control.
struct RenderResult {
    int iconMargin = 3;                      // the inset the next re-layout uses
    bool themeFailed = false;                // style 6 could not be drawn
    std::optional<gfx::Region> themeRegion;  // style 6's region, with RoundedBordersByTheme
};

// Clears the surface to the button face; a control that is not shown stops there.
void ClearSurface(gfx::Surface& s);

// Face, icon and caption of a shown control on a cleared surface.
RenderResult RenderThemedButton(gfx::Surface& s, const ButtonLook& look);

// The face of look.style; styles without a face draw nothing.
void DrawFace(gfx::Surface& s, const ButtonLook& look, RenderResult& result);

// Faces of styles 0 to 4.
void DrawClassic3D(gfx::Surface& s, const ButtonLook& look);
void DrawSoft3D(gfx::Surface& s, const ButtonLook& look);
void DrawFlatHover(gfx::Surface& s, const ButtonLook& look);
void DrawSimpleBorder(gfx::Surface& s, const ButtonLook& look);
void DrawHighlightFill(gfx::Surface& s, const ButtonLook& look);

// Style 6: the desktop style's push-button panel in the state (Defaulted when focused and
// Normal). Returns false when there is no style or it drew nothing; the surface then shows
// the button face only.
bool DrawThemeFace(gfx::Surface& s, const ButtonLook& look, std::optional<gfx::Region>* region);

// The caption in look.captionRect with look.captionFormat, in the state's text colour.
void DrawCaption(gfx::Surface& s, const ButtonLook& look);

}  // namespace quarbel::themed
