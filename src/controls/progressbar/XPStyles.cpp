// The XP family of the progress bar (blocks, smooth, busy) and its frame.

#include "controls/progressbar/ProgressDrawing.h"
#include "controls/progressbar/ProgressMath.h"
#include "controls/progressbar/ProgressStyles.h"

namespace quarbel::progress {

namespace {

struct XPFill {
    int blockWidth = 0;
    int blockGap = 2;
    gfx::Rect fill;
};

// Where the fill ends, snapped to the block grid (8 pixels for blocks, 2 otherwise). The fill
// reaches the full length at 98 per cent.
XPFill ComputeXPFill(int W, int H, const Look& look)
{
    XPFill x;
    x.blockWidth = look.scrolling == XPBlocks ? 6 : 0;
    const int step = x.blockWidth + x.blockGap;
    x.fill = {3, 0, W, H};
    double f = look.percent / 98.0;
    if (f < 0)
        f = 0;
    if (look.orientation == 0) {
        int r = gfx::roundEven((W - 3) * f + 3);
        r -= (r - 3) % step;
        if (r < 3)
            r = 3;
        x.fill.right = r;
    } else {
        f = 1 - f;
        int t = gfx::roundEven(H * f);
        t -= (t - H) % step;
        if (t > H)
            t = H;
        x.fill.top = t;
    }
    return x;
}

void DrawXPBodyHorizontal(gfx::Surface& s, int W, int H, const Look& look, XPFill& x)
{
    const gfx::Color K = look.color;
    if (x.fill.right <= 14)
        x.fill.right = 12;  // a stub always shows, also at 0 per cent
    const gfx::Rect body{4, 8, x.fill.right + 4 > W ? x.fill.right - 4 : x.fill.right, H - 8};
    if (look.scrolling != XPBusy) {
        DrawGradientOf(LightenColor(K, 150), K, 4, 3, body.right, 6, s, false);
        FillRectColor(body, K, s);
        DrawGradientOf(K, LightenColor(K, 150), 4, H - 10, body.right, 6, s, false);
        return;
    }
    for (int k = 0; k < 3; ++k) {
        const int left =
            gfx::roundEven((x.blockGap + 10) * k + x.fill.right - (100 - look.percent) / 100.0 * 45);
        DrawGradientOf(LightenColor(K, 220 - 40 * k), LightenColor(K, 200 - 40 * k), left, 3, 9, H - 2, s,
                       true);
    }
}

void DrawXPBodyVertical(gfx::Surface& s, int W, int H, const Look& look, const XPFill& x)
{
    const gfx::Color K = look.color;
    const int top = x.fill.top;
    if (look.scrolling != XPBusy) {
        DrawGradientOf(LightenColor(K, 150), K, 4, top, 4, H, s, true);
        FillRectColor({9, top, W - 8, H}, K, s);
        DrawGradientOf(K, LightenColor(K, 150), W - 8, top, 4, H, s, true);
        return;
    }
    for (int k = 0; k < 3; ++k) {
        const int chunkTop = (x.blockGap + 10) * k + top;
        DrawGradientOf(LightenColor(K, 220 - 40 * k), LightenColor(K, 200 - 40 * k), W - 2, chunkTop, 2, 9, s,
                       false);
    }
}

// White gaps between the blocks of the XPBlocks style.
void DrawXPSeparators(gfx::Surface& s, int W, int H, const Look& look, const XPFill& x)
{
    const int step = x.blockWidth + x.blockGap;
    if (look.orientation == 0) {
        for (int gx = 3 + x.blockWidth; gx <= x.fill.right; gx += step)
            FillRectColor({gx + 1, 0, gx + 1 + x.blockGap, H}, 0xFFFFFF, s);
    } else {
        for (int gy = H; gy >= x.fill.top + x.blockWidth; gy -= step)
            FillRectColor({3, gy - 2, W, gy - 2 + x.blockGap}, 0xFFFFFF, s);
    }
}

struct CornerPixel {
    bool fromRight;
    int x;
    bool fromBottom;
    int y;
    gfx::Color color;
};

// The corner pixels in the order they are set; x and y count from the right or bottom edge
// where marked (W - x, H - y).
constexpr CornerPixel Corners[] = {
    {false, 0, false, 0, 0xFFFFFF}, {false, 0, false, 1, 0xA6ABAC}, {false, 0, false, 2, 0x7D7E7F},
    {false, 1, false, 0, 0xA7ABAC}, {false, 1, false, 1, 0x777777}, {false, 2, false, 0, 0x7D7E7F},
    {false, 2, false, 2, 0xBEBEBE}, {false, 0, true, 1, 0xFFFFFF},  {false, 1, true, 1, 0xA6ABAC},
    {false, 2, true, 1, 0x7D7E7F},  {false, 0, true, 3, 0x7D7E7F},  {false, 0, true, 2, 0xA7ABAC},
    {false, 1, true, 2, 0x777777},  {true, 1, false, 0, 0xFFFFFF},  {true, 1, false, 1, 0xBEBEBE},
    {true, 1, false, 2, 0x7D7E7F},  {true, 2, false, 2, 0xBEBEBE},  {true, 2, false, 1, 0x686868},
    {true, 1, true, 1, 0xFFFFFF},   {true, 1, true, 2, 0xBEBEBE},   {true, 1, true, 3, 0x7D7E7F},
    {true, 2, true, 2, 0x777777},   {true, 2, true, 1, 0xBEBEBE},   {true, 3, true, 1, 0x7D7E7F},
};

}  // namespace

void DrawXPFrame(gfx::Surface& s, int W, int H)
{
    DrawLine(2, 1, W - 2, 1, s, 0xBEBEBE);
    DrawLine(2, H - 2, W - 2, H - 2, s, 0xEFEFEF);
    DrawLine(1, 2, 1, H - 2, s, 0xBEBEBE);
    DrawLine(2, 2, 2, H - 2, s, 0xEFEFEF);
    DrawLine(2, 2, W - 2, 2, s, 0xEFEFEF);
    DrawLine(W - 2, 2, W - 2, H - 2, s, 0xEFEFEF);
    FrameRectColor({0, 0, W, H}, 0x686868, s);
    for (const CornerPixel& p : Corners)
        s.setPixel(p.fromRight ? W - p.x : p.x, p.fromBottom ? H - p.y : p.y, p.color);
}

void DrawXPStyle(gfx::Surface& s, int W, int H, const Look& look)
{
    XPFill x = ComputeXPFill(W, H, look);
    if (look.orientation == 0)
        DrawXPBodyHorizontal(s, W, H, look, x);
    else
        DrawXPBodyVertical(s, W, H, look, x);
    if (look.scrolling == XPBlocks)
        DrawXPSeparators(s, W, H, look, x);
    DrawXPFrame(s, W, H);
}

void DrawGlass(gfx::Surface& s, int W, int H, const Look& look)
{
    const gfx::Color K = look.color;
    const int fillRight = gfx::roundEven(look.percent / 100.0 * (W - 4));
    const int h = gfx::roundEven((H - 3) / 2.0);
    DrawGradientOf(0xFFFFFF, 0xC0C0C0, 2, 2, W - 3, h, s, false);
    DrawGradientOf(BlendColor(0xC0C0C0, 0, 255), 0xC0C0C0, 2, h, W - 3, h, s, false);
    DrawGradientOf(LightenColor(K, 150), BlendColor(K, 0, 180), 2, 2, fillRight, h, s, false);
    DrawGradientOf(BlendColor(K, 0, 190), K, 2, h, fillRight, h, s, false);
    DrawXPFrame(s, W, H);
}

}  // namespace quarbel::progress
