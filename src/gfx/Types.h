#pragma once
// Value types of the raster layer: points, sizes, rectangles with exclusive right and bottom
// edges, and colours laid out 0x00BBGGRR.

#include <cmath>
#include <cstdint>

namespace quarbel::gfx {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle covers the pixels left..right-1 and top..bottom-1.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    Rect intersected(const Rect& o) const;
    Rect offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    Rect inflated(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

inline Rect Rect::intersected(const Rect& o) const
{
    Rect r{left > o.left ? left : o.left, top > o.top ? top : o.top, right < o.right ? right : o.right,
           bottom < o.bottom ? bottom : o.bottom};
    if (r.empty())
        return {};
    return r;
}

// 0x00BBGGRR. Values with the top bit set name a system colour; the raster layer itself only
// ever receives resolved colours.
using Color = std::uint32_t;

constexpr Color rgb(int r, int g, int b)
{
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int red(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int green(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blue(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

// The colour a pixel read outside the surface reports (the platform's invalid colour).
constexpr Color InvalidColor = 0xFFFFFFFFu;

// Nearest integer, halves to the even neighbour; values beyond the int range are clamped.
inline int roundEven(double v)
{
    const double r = std::nearbyint(v);
    if (!(r > -2147483648.0))
        return -2147483647 - 1;
    if (r > 2147483647.0)
        return 2147483647;
    return static_cast<int>(r);
}

}  // namespace quarbel::gfx
