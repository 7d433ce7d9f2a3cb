// Styles 7, 8 and 9: glossy and gradient faces whose colours all derive from one base colour
// (the button face, or BackColor and HighlightColor with custom colours) by channel offsets.

#include "controls/themedbutton/ButtonColors.h"
#include "controls/themedbutton/GlossyStyles.h"

namespace quarbel::themed {

namespace {

using gfx::Color;

Color surfaceColor(const GlossyLook& look) { return look.useCustomColors ? look.backColor : look.buttonFace; }

void line(gfx::Surface& s, int x1, int y1, int x2, int y2, Color c) { s.drawLine({x1, y1}, {x2, y2}, c); }

int stateOffset(FaceState state, int normal, int hot, int pressed, int disabled)
{
    switch (state) {
    case FaceState::Normal: return normal;
    case FaceState::Hot: return hot;
    case FaceState::Pressed: return pressed;
    case FaceState::Disabled: return disabled;
    }
    return 0;
}

}  // namespace

void DrawSystemGlossy(gfx::Surface& s, int W, int H, const GlossyLook& look)
{
    const Color E = surfaceColor(look);
    const Color B = OffsetColor(E, stateOffset(look.state, 8, 24, -9, 18));
    const auto off = [B](int d) { return OffsetColor(B, d); };
    s.fillRect(s.bounds(), B);

    // The face bands: lit from the top and the left when raised, the reverse when pressed,
    // nearly flat when disabled. The right shading is the single column x = W - 2.
    struct Bands {
        int faceTop, faceBottom, leftTop, leftBottom, rightTop, rightBottom;
    };
    Bands bands{15, -15, 21, -21, -5, -32};
    if (look.state == FaceState::Hot)
        bands = {16, -16, 21, -21, -5, -32};
    else if (look.state == FaceState::Pressed)
        bands = {-15, 15, -21, 0, 5, 15};
    else if (look.state == FaceState::Disabled)
        bands = {8, -8, 8, -8, -4, -12};
    VerticalGradient(s, off(bands.faceTop), off(bands.faceBottom), 1, 1, W - 2, H - 3);
    VerticalGradient(s, off(bands.leftTop), off(bands.leftBottom), 1, 2, 2, H - 5);
    VerticalGradient(s, off(bands.rightTop), off(bands.rightBottom), W - 2, 2, W - 3, H - 5);

    const Color frame = off(-96);
    line(s, 2, 0, W - 2, 0, frame);
    line(s, 0, 2, 0, H - 2, frame);
    line(s, 2, H - 1, W - 2, H - 1, frame);
    line(s, W - 1, 2, W - 1, H - 2, frame);
    for (const gfx::Point p : {gfx::Point{1, 1}, {W - 2, 1}, {1, H - 2}, {W - 2, H - 2}})
        s.setPixel(p.x, p.y, frame);
    const Color outer = OffsetColor(E, -21);
    for (const gfx::Point p : {gfx::Point{1, 0},
                               {0, 1},
                               {W - 2, 0},
                               {W - 1, 1},
                               {0, H - 2},
                               {1, H - 1},
                               {W - 1, H - 2},
                               {W - 2, H - 1}})
        s.setPixel(p.x, p.y, outer);
    line(s, 2, 1, W - 2, 1, OffsetColor(E, 21));

    if (look.state == FaceState::Hot || (look.state == FaceState::Normal && look.hasFocus)) {
        const Color R = look.useCustomColors ? look.highlightColor : look.highlight;
        line(s, 2, 1, W - 2, 1, OffsetColor(R, 21));
        line(s, 1, 2, 1, H - 1, OffsetColor(R, 21));
        line(s, 2, H - 2, W - 2, H - 2, OffsetColor(R, -5));
        line(s, W - 2, 2, W - 2, H - 1, OffsetColor(R, -21));
    }
}

void DrawSystemFlatGradient(gfx::Surface& s, int W, int H, const GlossyLook& look)
{
    const bool normal = look.state == FaceState::Normal;
    const bool pressed = look.state == FaceState::Pressed;
    const Color K = look.useCustomColors ? (normal ? look.backColor : look.highlightColor)
                                         : (normal ? look.buttonFace : OffsetColor(look.buttonFace, 15));
    s.fillRect(s.bounds(), K);

    // Pressed swaps the gradient and the light and plain inner lines.
    const int lift = pressed ? -15 : 15;
    VerticalGradient(s, OffsetColor(K, lift), OffsetColor(K, -lift), 2, 2, W - 3, H - 6);
    const Color topLeft = pressed ? K : OffsetColor(K, 96);
    const Color bottomRight = pressed ? OffsetColor(K, 96) : K;
    line(s, 2, 1, W - 3, 1, topLeft);
    line(s, 1, 2, 1, H - 3, topLeft);
    line(s, 2, H - 3, W - 2, H - 3, bottomRight);
    line(s, W - 2, 2, W - 2, H - 3, bottomRight);

    const Color E = surfaceColor(look);
    const Color F = OffsetColor(E, !pressed && look.hasFocus ? -96 : -48);
    line(s, 2, 0, W - 3, 0, F);
    line(s, 0, 2, 0, H - 3, F);
    line(s, 2, H - 2, W - 3, H - 2, F);
    line(s, W - 2, 2, W - 2, H - 3, F);
    for (const gfx::Point p : {gfx::Point{1, 1}, {1, H - 3}, {W - 3, 1}, {W - 3, H - 3}})
        s.setPixel(p.x, p.y, F);

    const Color G = OffsetColor(F, 21);
    line(s, 3, H - 1, W - 4, H - 1, G);
    line(s, W - 1, 3, W - 1, H - 4, G);
    line(s, W - 4, H - 1, W, H - 5, G);
    line(s, W - 3, H - 1, W, H - 4, OffsetColor(G, 15));
}

void DrawSystemRaisedGradient(gfx::Surface& s, int W, int H, const GlossyLook& look)
{
    const bool lit = look.state == FaceState::Hot || look.state == FaceState::Pressed;
    const Color P = look.useCustomColors ? (lit ? look.highlightColor : look.backColor) : look.buttonFace;
    const Color K = OffsetColor(P, stateOffset(look.state, -15, 1, 24, 15));
    const auto off = [K](int d) { return OffsetColor(K, d); };
    const int half = gfx::roundEven(H / 2.0);
    s.fillRect(s.bounds(), K);

    VerticalGradient(s, off(32), off(-32), 5, 2, W - 5, H - 6);
    VerticalGradient(s, off(128), off(-128), 0, 0, 1, H - 4);

    // The rounded left side: one strip a column, upper and lower half, then the bottom-left
    // corner as short horizontal gradients.
    VerticalGradient(s, K, off(-37), 2, 4, 3, half - 7);
    VerticalGradient(s, K, off(-53), 3, 3, 4, half - 7);
    VerticalGradient(s, K, off(-37), 4, 2, 5, half - 7);
    VerticalGradient(s, off(37), off(5), 5, 2, 6, half - 4);
    VerticalGradient(s, off(-37), off(-32), 2, half - 2, 3, half - 5);
    VerticalGradient(s, off(-53), off(-32), 3, half - 3, 4, half - 3);
    VerticalGradient(s, off(-37), off(-32), 4, half - 4, 5, half - 1);
    VerticalGradient(s, off(5), off(-5), 5, half - 4, 6, half - 3);
    HorizontalGradient(s, off(-53), off(-32), 5, H - 5, 12, H - 6);
    HorizontalGradient(s, off(-56), off(-32), 4, H - 6, 7, H - 7);
    HorizontalGradient(s, off(-37), off(-32), 3, H - 7, 5, H - 8);

    // The right side: the outer columns, then the left side's strips mirrored into columns
    // W - 3 (outermost) to W - 6.
    VerticalGradient(s, off(128), off(-128), W - 2, 0, W - 1, H - 4);
    VerticalGradient(s, off(128), off(-48), W - 1, 0, W, half);
    VerticalGradient(s, off(-64), off(-8), W - 1, half, W, H - 4 - half);
    VerticalGradient(s, K, off(-37), W - 3, 4, W - 4, half - 7);
    VerticalGradient(s, K, off(-48), W - 4, 3, W - 5, half - 7);
    VerticalGradient(s, K, off(-37), W - 5, 2, W - 6, half - 7);
    VerticalGradient(s, off(37), off(5), W - 6, 2, W - 7, half - 4);
    VerticalGradient(s, off(-37), off(-21), W - 3, half - 2, W - 4, half - 5);
    VerticalGradient(s, off(-48), off(-37), W - 4, half - 3, W - 5, half - 3);
    VerticalGradient(s, off(-37), off(-53), W - 5, half - 4, W - 6, half - 1);
    VerticalGradient(s, off(-5), off(-37), W - 6, half - 4, W - 7, half - 3);

    // The outline: light top lines, plain bottom lines, the corners closed in dark.
    line(s, 2, 0, W - 2, 0, off(128));
    line(s, 2, 1, W - 2, 1, off(32));
    line(s, 1, 1, 1, H - 4, off(32));
    line(s, W - 3, 1, W - 3, 4, off(32));
    line(s, 3, H - 3, W - 3, H - 3, K);
    line(s, 4, H - 2, W - 4, H - 2, K);
    line(s, 5, H - 1, W - 5, H - 1, K);
    line(s, 1, H - 4, 3, H - 2, K);
    s.setPixel(1, H - 4, off(-112));
    s.setPixel(W - 2, H - 3, off(-112));
}

}  // namespace quarbel::themed
