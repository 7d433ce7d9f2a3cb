#pragma once
// The progress bar's drawing: one plain routine per style, and the whole repaint of a bar
// from its state. Nothing here keeps state between calls.

#include "gfx/Surface.h"

#include <QFont>
#include <QImage>
#include <QString>

namespace quarbel::progress {

enum Style : int {
    XPBlocks = 0,
    XPSmooth = 1,
    XPBusy = 2,
    Flat = 3,
    Etched = 4,
    Shaded = 5,
    Dark = 6,
    Hatched = 7,
    Pattern = 8,
    Glass = 9,
};

// What one repaint needs to know of the control.
struct Look {
    int scrolling = 0;     // style selector; unlisted values draw as XPSmooth
    int orientation = 0;   // 0 horizontal, anything else vertical (XP family only)
    int percent = 0;       // at most 100 (the control lowers it before drawing)
    gfx::Color color = 0;  // K, resolved
    int brushStyle = 0;    // hatch pattern of the Hatched style
    QImage image;          // the picture of the Pattern style, or null
    bool showText = false;
    QFont font;
};

// The XP family: blocks, smooth and busy bars in both orientations.
void DrawXPStyle(gfx::Surface& s, int W, int H, const Look& look);
// The frame the XP family and the Glass style finish with.
void DrawXPFrame(gfx::Surface& s, int W, int H);

void DrawFlat(gfx::Surface& s, int W, int H, const Look& look);
void DrawEtched(gfx::Surface& s, int W, int H, const Look& look);
void DrawShaded(gfx::Surface& s, int W, int H, const Look& look);
void DrawDark(gfx::Surface& s, int W, int H, const Look& look);
void DrawGlass(gfx::Surface& s, int W, int H, const Look& look);
void DrawHatched(gfx::Surface& s, int W, int H, const Look& look);
void DrawPattern(gfx::Surface& s, int W, int H, const Look& look);

// The style routine for look.scrolling.
void DrawStyle(gfx::Surface& s, int W, int H, const Look& look);

// "Gathering Required Information" for XPBusy, otherwise the percentage followed by " %".
QString PercentText(const Look& look);
// The centred percentage text and, in the Dark and Glass styles, its contrast part over the fill.
void DrawPercentText(gfx::Surface& s, int W, int H, const Look& look);
void DrawFillText(gfx::Surface& s, const gfx::Rect& textRect, double fillX, const Look& look);

// The whole client area W x H: background, style, text.
void RenderProgressBar(gfx::Surface& s, int W, int H, const Look& look);

}  // namespace quarbel::progress
