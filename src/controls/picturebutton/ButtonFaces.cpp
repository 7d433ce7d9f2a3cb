// The picture button's faces and borders: the state colours of the flat style, the raised
// border and bevel, the XP face and its rounded region.

#include "controls/common/SystemColors.h"
#include "controls/picturebutton/ButtonLook.h"

#include <QPainter>
#include <algorithm>

namespace quarbel::picturebutton {

namespace {

gfx::Color sys(int n) { return ResolveButtonColor(systemColorRef(n)); }

struct ShadedLine {
    int amount;
    gfx::Point from;
    gfx::Point to;
};

void drawShadedLines(gfx::Surface& s, gfx::Color base, std::initializer_list<ShadedLine> lines)
{
    for (const ShadedLine& l : lines)
        s.drawLine(l.from, l.to, ShadeColor(base, l.amount));
}

}  // namespace

void SetBackColor(gfx::Surface& s, gfx::Color& surfaceBack, gfx::Color colour)
{
    surfaceBack = colour;
    s.fillRect(s.bounds(), colour);
}

void PaintParentBackground(gfx::Surface& s, const Look& look)
{
    // A container with nothing to show leaves the surface as it is.
    if (look.parentBackground.isNull())
        return;
    s.copyFrom(gfx::Surface(look.parentBackground), {0, 0, look.W, look.H}, {0, 0});
}

void ApplyStateColours(gfx::Surface& s, const Look& look, gfx::Color& surfaceBack)
{
    if (look.buttonStyle == XP)
        return;
    if (look.buttonStyle == Flat) {
        if (look.isPressed || !look.transparentBG)
            SetBackColor(s, surfaceBack, ResolveButtonColor(look.backColor));
        else
            PaintParentBackground(s, look);
    } else if (look.transparentBG) {
        PaintParentBackground(s, look);
    }
    if (look.buttonStyle != Flat)
        return;
    const Rgb hl = SplitColor(sys(Highlight));
    if (look.isHovering && !look.isPressed)
        SetBackColor(
            s, surfaceBack,
            look.xpDefaultColors ? AddCapped(hl, 171, 154, 108) : ResolveButtonColor(look.xpColorHover));
    else if (look.isPressed)
        SetBackColor(
            s, surfaceBack,
            look.xpDefaultColors ? AddCapped(hl, 156, 139, 108) : ResolveButtonColor(look.xpColorPressed));
}

void DrawBevel(gfx::Surface& s, int W, int H, gfx::Color b0, int n, int d)
{
    // Rings beyond the button are empty, and the colour stops changing within a few hundred
    // steps (each channel reaches 0 or 255, or a step too small to move it): a bevel of any
    // width or depth is drawn in time proportional to the button.
    constexpr int Settled = 4096;
    const int widest = std::min(n, std::max(W, H));
    const int skipped = std::min(n - widest, Settled);
    const long long depth = std::clamp(d, -Settled, Settled);
    const auto lighter = [depth](gfx::Color c) {
        const Rgb v = SplitColor(c);
        const auto up = [depth](int x) { return static_cast<int>(std::clamp(x + depth, 0LL, 255LL)); };
        return gfx::rgb(up(v.red), up(v.green), up(v.blue));
    };
    gfx::Color c = b0;
    for (int i = 0; i < skipped; ++i)
        c = ShadeColor(c, static_cast<int>(-depth));
    for (int k = widest; k >= 0; --k) {
        c = ShadeColor(c, static_cast<int>(-depth));
        s.frameRect({k, k, W - k, H - k}, c);
    }
    c = b0;
    for (int i = 0; i < skipped; ++i)
        c = lighter(c);
    for (int k = widest; k >= 0; --k) {
        c = lighter(c);
        s.drawLine({k, k}, {W - (k + 1), k}, c);
        s.drawLine({k, k}, {k, H - (k + 1)}, c);
    }
}

void DrawXPFace(gfx::Surface& s, const Look& look)
{
    const int W = look.W;
    const int H = look.H;
    const gfx::Color back = ResolveButtonColor(look.backColor);
    s.fillRect({0, 0, W, H}, back);
    const gfx::Color base = ShadeColor(back, 48);
    const auto corners = [&](gfx::Color c) {
        s.setPixel(1, 1, c);
        s.setPixel(1, H - 2, c);
        s.setPixel(W - 2, 1, c);
        s.setPixel(W - 2, H - 2, c);
    };
    if (!look.enabled) {
        s.fillRect({0, 0, W, H}, ShadeColor(base, -24));
        s.frameRect({0, 0, W, H}, ShadeColor(base, -84));
        corners(ShadeColor(base, -72));
        return;
    }
    const gfx::Color P =
        look.xpDefaultColors ? gfx::rgb(140, 170, 230) : ResolveButtonColor(look.xpColorPressed);
    for (int i = 1; i <= H; ++i)
        s.drawLine({0, i}, {W, i}, ShadeColor(base, gfx::roundEven(-25.0 * i / H)));
    const gfx::Color outline = sys(DarkShadow3D);
    s.frameRect({0, 0, W, H}, outline);
    corners(outline);
    if (look.hasFocus) {
        s.frameRect({1, 2, W - 1, H - 2}, P);
        drawShadedLines(s, P,
                        {{-33, {2, H - 2}, {W - 2, H - 2}},
                         {65, {2, 1}, {W - 2, 1}},
                         {50, {1, 2}, {W - 1, 2}},
                         {31, {2, 3}, {2, H - 3}},
                         {31, {W - 3, 3}, {W - 3, H - 3}}});
        return;
    }
    drawShadedLines(s, base,
                    {{-48, {2, H - 2}, {W - 2, H - 2}},
                     {-32, {1, H - 3}, {W - 2, H - 3}},
                     {-36, {W - 2, 2}, {W - 2, H - 2}},
                     {-24, {W - 3, 3}, {W - 3, H - 3}},
                     {16, {2, 1}, {W - 2, 1}},
                     {10, {1, 2}, {W - 2, 2}},
                     {-5, {1, 2}, {1, H - 2}},
                     {-10, {2, 3}, {2, H - 3}}});
}

void DrawBorder(gfx::Surface& s, const Look& look, gfx::Color& surfaceBack)
{
    if (look.buttonStyle == XP) {
        DrawXPFace(s, look);
        return;
    }
    if (look.buttonStyle == Flat) {
        ApplyStateColours(s, look, surfaceBack);
        return;
    }
    if (look.bevel < 2) {
        s.frameRect({0, 0, look.W, look.H}, sys(ButtonShadow));
        s.frameRect({0, 0, look.W + 1, look.H + 1}, sys(ButtonHighlight));
        return;
    }
    DrawBevel(s, look.W, look.H, surfaceBack, look.bevel, look.bevelDepth);
}

gfx::Region MakeRoundRegion(int W, int H)
{
    gfx::Region r = gfx::Region::rect({0, 0, W, H});
    for (const gfx::Rect& cut :
         {gfx::Rect{0, 0, 2, 1}, gfx::Rect{0, H - 1, 2, H}, gfx::Rect{W - 2, 0, W, 1},
          gfx::Rect{W - 2, H - 1, W, H}, gfx::Rect{0, 1, 1, 2}, gfx::Rect{0, H - 2, 1, H - 1},
          gfx::Rect{W - 1, 1, W, 2}, gfx::Rect{W - 1, H - 2, W, H - 1}})
        r = r.subtracted(gfx::Region::rect(cut));
    return r;
}

}  // namespace quarbel::picturebutton
