#pragma once
// The drawing helpers every progress bar style is built from.

#include "gfx/Surface.h"

#include <cstdint>

namespace quarbel::progress {

// A one-pixel line from (x, y) to the end point (x2, y2), the end point not painted; the
// colour is resolved first.
void DrawLine(int x, int y, int x2, int y2, gfx::Surface& s, std::uint32_t color);

// Lines from lEndColor to lStartcolor. With bH a vertical line from (X + i, Y) to (X + i, Y2)
// for i = 0..X2; otherwise a horizontal line from (X, Y + i) to (X2, Y + i) for i = 0..Y2.
// Both colours are resolved and written back. A length of 0 draws one line in lEndColor, a
// negative length nothing.
void DrawGradient(std::uint32_t& lEndColor, std::uint32_t& lStartcolor, int X, int Y, int X2, int Y2,
                  gfx::Surface& s, bool bH);
// The same for colours the caller does not need back.
void DrawGradientOf(std::uint32_t endColor, std::uint32_t startColor, int X, int Y, int X2, int Y2,
                    gfx::Surface& s, bool bH);

void FillRectColor(const gfx::Rect& r, std::uint32_t color, gfx::Surface& s);
void FrameRectColor(const gfx::Rect& r, std::uint32_t color, gfx::Surface& s);

}  // namespace quarbel::progress
