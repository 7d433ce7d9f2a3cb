#pragma once
// The colour functions and drawing procedures every themed button style is built from. All
// colours are resolved RGB values 0x00BBGGRR; channels are 0..255.
//
// Lines are the surface's own (gfx::Surface::drawLine: the start point painted, the end point
// not), and so are single pixels (setPixel). A frame and a fill here take the origin and the
// extent (x, y, w, h) the button's drawing rules are written in.

#include "gfx/Surface.h"

#include <cstdint>

namespace quarbel::themed {

// The RGB value of a stored colour: a value with the top bit set names a system colour and is
// looked up; any other value with a zero top byte is already RGB. gfx::InvalidColor (-1) when
// the value cannot be translated (an unknown system colour, or a non-zero top byte otherwise).
gfx::Color TranslateColor(std::uint32_t value);

// Per channel (a + b) / 2, halves to the even neighbour.
gfx::Color AverageColor(gfx::Color a, gfx::Color b);

// Per channel k + channel * (255 - k) / 255 (integer division), at most 255.
gfx::Color BlendTowardWhite(gfx::Color c, int k);

// Per channel channel + d, clamped to 0..255.
gfx::Color OffsetColor(gfx::Color c, int d);

// Lines i = 0..n from (x1, y0 + i) to (x2, y0 + i), each in top + (bottom - top) * i / n per
// channel (single precision, halves to even). Nothing is drawn when n <= 0.
void VerticalGradient(gfx::Surface& s, gfx::Color top, gfx::Color bottom, int x1, int y0, int x2, int n);

// Lines i = 0..n, n = x1 - x0, from (x0 + i, y1) to (x0 + i, y2), each in
// left + (right - left) * i / n; nothing is drawn when n <= 0.
void HorizontalGradient(gfx::Surface& s, gfx::Color left, gfx::Color right, int x0, int y1, int x1, int y2);

// The closed path of four lines (x, y) -> (x + w, y) -> (x + w, y + h) -> (x, y + h) -> (x, y):
// it paints columns x and x + w and rows y and y + h, both ends included.
void drawFrame(gfx::Surface& s, int x, int y, int w, int h, gfx::Color c);

// Pixels x..x + w - 1, y..y + h - 1; nothing when w or h is not positive.
void fillArea(gfx::Surface& s, int x, int y, int w, int h, gfx::Color c);

}  // namespace quarbel::themed
