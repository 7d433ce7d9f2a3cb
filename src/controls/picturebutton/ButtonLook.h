#pragma once
// The picture button's drawing: the colour operations, the content layout, one routine per
// face style, the picture and caption routines, the rounded region of the XP look, and the
// whole repaint of a button from its state. Nothing here keeps state between calls.

#include "gfx/Region.h"
#include "gfx/Surface.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <cstdint>

namespace quarbel::picturebutton {

// ButtonStyle values; 1 and any value not listed draw as Bordered.
enum Style : int {
    Bordered = 0,  // face in BackColor with a raised border, or a bevel when BEVEL >= 2
    Flat = 2,      // face colour follows hover and press; the picture lifts while hovering
    XP = 3,        // gradient face, dark outline, rounded corners, focus ring
    FaceOnly = 4,  // no border
};

enum PicturePosition : int { Above = 0, LeftOf = 1, RightOf = 2, Below = 3 };

// PictureSize values.
enum PictureSizeMode : int { Small16 = 0, Large32 = 1, NativeSize = 2 };

// --- colours ---------------------------------------------------------------------------------

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// Values below 0x1000000 are colours; any other value names system colour (value & 0xFFFFFF).
gfx::Color ResolveButtonColor(std::uint32_t value);
Rgb SplitColor(gfx::Color colour);
// Red and green move by a, blue by (blue * a) / 192 truncated toward zero; each clamped 0..255.
gfx::Color ShadeColor(gfx::Color colour, int a);
// Each channel plus the amount, capped at 255.
gfx::Color AddCapped(Rgb c, int dr, int dg, int db);

// --- layout ----------------------------------------------------------------------------------

struct ContentLayout {
    gfx::Rect picture;
    gfx::Rect caption;
};

// The caption's size measured with word wrap within `width`, as the caption is drawn.
gfx::Size MeasureCaption(const QString& caption, const QFont& font, int width);

// Places caption (size cw x ch) and picture (PW x PH) in the content rectangle A. Without a
// picture only the caption is placed; a picture position outside 0..3 keeps `previousPicture`.
ContentLayout LayoutContent(const gfx::Rect& A, gfx::Size caption, bool hasPicture, bool captionEmpty,
                            gfx::Size picture, int position, const gfx::Rect& previousPicture);

// --- the state of one repaint ------------------------------------------------------------------

struct Look {
    int W = 0;
    int H = 0;
    int buttonStyle = Flat;
    bool enabled = true;
    bool hasFocus = false;
    bool isPressed = false;
    bool isHovering = false;
    bool showFocusRect = true;
    bool transparentBG = false;
    bool xpDefaultColors = true;
    // Colour values as stored (system colours unresolved).
    std::uint32_t backColor = 0x8000000F;
    std::uint32_t foreColor = 0x80000012;
    std::uint32_t xpColorPressed = 0x80000014;
    std::uint32_t xpColorHover = 0x80000016;
    std::uint32_t maskColor = 0;
    // The colour the surface is cleared to at the start of a repaint (resolved).
    gfx::Color surfaceBackColor = 0;
    int bevel = 1;
    int bevelDepth = 8;
    QImage picture;  // null: no picture. With an alpha channel it is an icon.
    int pictureWidth = 32;
    int pictureHeight = 32;
    int picturePosition = LeftOf;
    gfx::Rect previousPictureRect;  // kept when the position is outside 0..3
    QString caption;
    QFont font;
    // What the container shows behind the control (W x H), or null when it has nothing.
    QImage parentBackground;
};

// What a repaint leaves behind besides the pixels.
struct Painted {
    ContentLayout layout;
    gfx::Color surfaceBackColor = 0;
};

// --- the routines --------------------------------------------------------------------------------

// Sets the surface's back colour: clears the whole surface to it and remembers it.
void SetBackColor(gfx::Surface& s, gfx::Color& surfaceBack, gfx::Color colour);
void PaintParentBackground(gfx::Surface& s, const Look& look);
void ApplyStateColours(gfx::Surface& s, const Look& look, gfx::Color& surfaceBack);
void DrawBorder(gfx::Surface& s, const Look& look, gfx::Color& surfaceBack);
void DrawBevel(gfx::Surface& s, int W, int H, gfx::Color b0, int n, int d);
void DrawXPFace(gfx::Surface& s, const Look& look);
void DrawPicture(gfx::Surface& s, const Look& look, const gfx::Rect& pictureRect);
void DrawCaption(gfx::Surface& s, const Look& look, const gfx::Rect& captionRect);

// The visible region of the XP look: the rectangle without three pixels at each corner.
gfx::Region MakeRoundRegion(int W, int H);

// The whole W x H face of the button (Refresh).
Painted RenderPictureButton(gfx::Surface& s, const Look& look);

}  // namespace quarbel::picturebutton
