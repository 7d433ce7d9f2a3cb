// Style 5: the rounded glossy face of the window's buttons, in its fixed palette or with every
// colour derived from BackColor by channel offsets. Below, w = W - 1, a = W - 2, b = W - 3,
// h1 = H - 1, h2 = H - 2, h3 = H - 3.

#include "controls/themedbutton/ButtonColors.h"
#include "controls/themedbutton/GlossyStyles.h"

namespace quarbel::themed {

namespace {

using gfx::Color;

struct Edges {
    int w, a, b, h1, h2, h3;
    Edges(int W, int H) : w(W - 1), a(W - 2), b(W - 3), h1(H - 1), h2(H - 2), h3(H - 3) {}
};

void hline(gfx::Surface& s, int x1, int x2, int y, Color c) { s.drawLine({x1, y}, {x2, y}, c); }

// The colours of the ring drawn over rows 1, 2, h3, h2 and down both sides.
struct Ring {
    Color row1, row2, rowH3, rowH2;
};

void drawRing(gfx::Surface& s, int W, int H, const Ring& r)
{
    const Edges e(W, H);
    hline(s, 2, e.a, 1, r.row1);
    hline(s, 2, e.a, 2, r.row2);
    hline(s, 2, e.a, e.h3, r.rowH3);
    hline(s, 2, e.a, e.h2, r.rowH2);
    VerticalGradient(s, r.row2, r.rowH3, 1, 2, 3, H - 5);
    VerticalGradient(s, r.row2, r.rowH3, e.b, 2, e.w, H - 5);
}

// The four outline lines; the corners are left to the corner pixels.
void drawOutline(gfx::Surface& s, int W, int H, Color c)
{
    const Edges e(W, H);
    hline(s, 1, e.w, 0, c);
    s.drawLine({0, 1}, {0, e.h1}, c);
    s.drawLine({e.w, 1}, {e.w, e.h1}, c);
    hline(s, 1, e.w, e.h1, c);
}

void setPixels(gfx::Surface& s, std::initializer_list<gfx::Point> points, Color c)
{
    for (const gfx::Point& p : points)
        s.setPixel(p.x, p.y, c);
}

// The corner pixels that round the outline: the four just inside it, the eight on it next to
// the cut corners, and the eight that soften the face's corners.
void drawCorners(gfx::Surface& s, int W, int H, Color inner, Color outer, Color soft)
{
    const Edges e(W, H);
    setPixels(s, {{1, 1}, {1, e.h2}, {e.a, 1}, {e.a, e.h2}}, inner);
    setPixels(s, {{0, 1}, {1, 0}, {1, e.h1}, {0, e.h2}, {e.w, e.h2}, {e.a, e.h1}, {e.a, 0}, {e.w, 1}}, outer);
    setPixels(s, {{1, 2}, {2, 1}, {2, e.h2}, {1, e.h3}, {e.a, e.h3}, {e.b, e.h2}, {e.b, 1}, {e.a, 2}}, soft);
}

constexpr Color kFrame = 0x743C00, kInner = 0x906E48, kOuter = 0xA28B6A, kSoft = 0xCAC7BF;
constexpr Ring kHotRing{0xCFF0FF, 0x89D8FD, 0x30B3F8, 0x1097E5};
constexpr Ring kDefaultRing{0xFFE7CE, 0xF6D4BC, 0xE4AD89, 0xEE8269};

void fixedRaised(gfx::Surface& s, int W, int H, const GlossyLook& look)
{
    const Edges e(W, H);
    VerticalGradient(s, 0xFBFCFC, 0xF0F0F0, 1, 1, e.a, 4);
    VerticalGradient(s, 0xF9FAFA, 0xEAF0F0, 1, 4, e.a, H - 8);
    VerticalGradient(s, 0xE6EBEB, 0xC5D0D6, 1, H - 4, e.a, 3);
    VerticalGradient(s, 0xFAFBFB, 0xDAE2E4, e.b, 3, e.a, H - 5);
    VerticalGradient(s, 0xF2F4F5, 0xCDD7DB, e.a, 3, e.w, H - 5);
    drawOutline(s, W, H, kFrame);
    drawCorners(s, W, H, kInner, kOuter, kSoft);
    if (look.state == FaceState::Hot)
        drawRing(s, W, H, kHotRing);
    else if ((look.state == FaceState::Normal && look.hasFocus) || look.displayAsDefault)
        drawRing(s, W, H, kDefaultRing);
}

void fixedPressed(gfx::Surface& s, int W, int H)
{
    const Edges e(W, H);
    VerticalGradient(s, 0xC1CCD1, 0xDCE3E4, 2, 1, e.w, 4);
    VerticalGradient(s, 0xDCE3E4, 0xDBE2E3, 2, 4, e.w, H - 8);
    VerticalGradient(s, 0xDBE2E3, 0xEEF1F2, 3, H - 4, e.w, 3);
    VerticalGradient(s, 0xCED8DA, 0xDBE2E3, 1, 3, 2, H - 5);
    VerticalGradient(s, 0xCED8DA, 0xDBE2E3, 2, 4, 3, H - 7);
    drawOutline(s, W, H, kFrame);
    drawCorners(s, W, H, kInner, kOuter, kSoft);
}

void fixedDisabled(gfx::Surface& s, int W, int H)
{
    const Edges e(W, H);
    s.fillRect(s.bounds(), 0xEAF4F5);
    drawFrame(s, 0, 0, e.w, e.h1, 0xBAC7C9);
    setPixels(s,
              {{0, 1},
               {1, 1},
               {1, 0},
               {0, e.h2},
               {1, e.h2},
               {1, e.h1},
               {e.w, 1},
               {e.a, 1},
               {e.a, 0},
               {e.w, e.h2},
               {e.a, e.h2},
               {e.a, e.h1}},
              0xC7D5D8);
}

}  // namespace

void DrawFixedGlossy(gfx::Surface& s, int W, int H, const GlossyLook& look)
{
    s.fillRect(s.bounds(), look.buttonFace);
    switch (look.state) {
    case FaceState::Normal:
    case FaceState::Hot: fixedRaised(s, W, H, look); break;
    case FaceState::Pressed: fixedPressed(s, W, H); break;
    case FaceState::Disabled: fixedDisabled(s, W, H); break;
    }
}

void DrawCustomGlossy(gfx::Surface& s, int W, int H, const GlossyLook& look)
{
    const Edges e(W, H);
    const Color K = look.backColor;
    const auto off = [K](int d) { return OffsetColor(K, d); };
    s.fillRect(s.bounds(), K);
    switch (look.state) {
    case FaceState::Normal:
    case FaceState::Hot: {
        VerticalGradient(s, K, off(-15), 1, 1, e.a, H - 3);
        VerticalGradient(s, off(21), off(-21), 1, 2, 2, H - 5);
        VerticalGradient(s, off(-5), off(-32), e.a, 2, e.w, H - 5);
        hline(s, 2, e.a, 1, off(5));
        hline(s, 1, e.a, 2, off(2));
        hline(s, 2, e.a, e.h3, off(-16));
        hline(s, 2, e.a, e.h2, off(-24));
        drawOutline(s, W, H, off(-128));
        drawCorners(s, W, H, off(-96), off(-64), off(-32));
        if (look.state == FaceState::Hot || (look.hasFocus && look.showFocus)) {
            const Color R = look.highlightColor;
            drawRing(s, W, H, {OffsetColor(R, 85), OffsetColor(R, 69), OffsetColor(R, 16), R});
        }
        break;
    }
    case FaceState::Pressed:
        VerticalGradient(s, off(-37), off(-21), 2, 1, e.w, 4);
        VerticalGradient(s, off(-21), off(-5), 2, 4, e.w, H - 8);
        VerticalGradient(s, off(-5), off(5), 3, H - 4, e.w, 3);
        VerticalGradient(s, off(-32), off(-22), 1, 3, 2, H - 5);
        VerticalGradient(s, off(-24), off(-15), 2, 4, 3, H - 7);
        drawOutline(s, W, H, off(-128));
        drawCorners(s, W, H, off(-96), off(-64), off(-48));
        s.setPixel(2, e.h2, off(-5));
        s.setPixel(1, e.h3, off(-16));
        s.setPixel(e.a, e.h3, off(18));
        s.setPixel(e.b, e.h2, off(8));
        s.setPixel(e.a, 2, off(-37));
        break;
    case FaceState::Disabled:
        drawFrame(s, 0, 0, e.w, e.h1, off(-64));
        setPixels(s, {{0, 1}, {1, 1}, {1, 0}, {0, e.h2}, {1, e.h2}, {1, e.h1}, {e.w, 1}, {e.w, e.h2}},
                  off(-53));
        // The right-hand corners lie in the face's shade and are a little darker.
        setPixels(s, {{e.a, 0}, {e.a, e.h1}}, off(-58));
        setPixels(s, {{e.a, 1}, {e.a, e.h2}}, off(-45));
        break;
    }
}

}  // namespace quarbel::themed
