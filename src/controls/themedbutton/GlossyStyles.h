#pragma once
// The hand-shaded faces of the themed button: the fixed-palette glossy face (5, also derived
// from BackColor), the system-coloured glossy face (7), the flat (8) and raised (9) gradient
// faces and the rounded pill drawn from fixed pixel maps (10); and the window region of every
// style. Plain routines on a W x H surface; nothing here keeps state between calls.

#include "gfx/Region.h"
#include "gfx/Surface.h"

namespace quarbel::themed {

enum ButtonStyle : int {
    Classic3D = 0,
    Soft3D = 1,
    FlatHover = 2,
    SimpleBorder = 3,
    HighlightFill = 4,
    FixedGlossy = 5,
    WindowsTheme = 6,
    SystemGlossy = 7,
    SystemFlatGradient = 8,
    SystemRaisedGradient = 9,
    RoundedPixmap = 10,
};

// The state a face is drawn in. Other values may arrive (a face then draws its background
// only, or as its style says).
enum class FaceState : int { Normal = 1, Hot = 2, Pressed = 3, Disabled = 4 };

// Everything a glossy face reads. Colours are resolved RGB values (the caller looks system
// colours up).
struct GlossyLook {
    int style = FixedGlossy;
    FaceState state = FaceState::Normal;
    bool hasFocus = false;
    bool showFocus = false;
    bool displayAsDefault = false;  // the container's display-as-default flag
    bool useCustomColors = false;
    gfx::Color backColor = 0;          // BackColor
    gfx::Color highlightColor = 0;     // HighlightColor
    gfx::Color buttonFace = 0xC8D0D4;  // system button face
    gfx::Color highlight = 0x6A240A;   // system highlight
};

// Draws the face of look.style (5, 7, 8, 9 or 10) on the whole W x H surface; any other style
// draws nothing. Returns false when the style is not one of these.
bool DrawGlossyFace(gfx::Surface& s, int W, int H, const GlossyLook& look);

// The single styles, as DrawGlossyFace calls them.
void DrawFixedGlossy(gfx::Surface& s, int W, int H, const GlossyLook& look);           // 5, fixed palette
void DrawCustomGlossy(gfx::Surface& s, int W, int H, const GlossyLook& look);          // 5, from BackColor
void DrawSystemGlossy(gfx::Surface& s, int W, int H, const GlossyLook& look);          // 7
void DrawSystemFlatGradient(gfx::Surface& s, int W, int H, const GlossyLook& look);    // 8
void DrawSystemRaisedGradient(gfx::Surface& s, int W, int H, const GlossyLook& look);  // 9
void DrawRoundedPixmap(gfx::Surface& s, int W, int H, const GlossyLook& look);         // 10

// The icon inset a face leaves for the next layout: 4 after styles 7 and 8, 6 after 9, 7 after
// 10, and 3 (the repaint's own value) after every other style.
int IconMarginAfterFace(int style);

// The window region of a W x H button in the style: cut corners for 5 and 7, wider cuts for 8
// and 9, a rounded rectangle for 10, the whole rectangle for every other style.
gfx::Region ButtonRegion(int style, int W, int H);

}  // namespace quarbel::themed
