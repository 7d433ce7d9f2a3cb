#include "gfx/Brush.h"

namespace quarbel::gfx {

namespace {

// One byte a row, the most significant bit is the leftmost pixel.
constexpr unsigned char HatchRows[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00}, // horizontal: row 3
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}, // vertical: column 4
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // forward diagonal: x == y
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // backward diagonal: x == 7 - y
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08}, // cross: row 3 and column 4
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // diagonal cross: both diagonals
};

int wrap(int v, int n)
{
    const int m = v % n;
    return m < 0 ? m + n : m;
}

} // namespace

Brush Brush::solid(Color c)
{
    Brush b;
    b.kind_ = Kind::Solid;
    b.color_ = c;
    return b;
}

Brush Brush::hatch(HatchStyle style, Color line, Color background, BackgroundMode mode)
{
    Brush b;
    b.kind_ = Kind::Hatch;
    b.hatch_ = style;
    b.color_ = line;
    b.background_ = background;
    b.mode_ = mode;
    return b;
}

std::optional<Brush> Brush::hatch(int style, Color line, Color background, BackgroundMode mode)
{
    if (style < 0 || style > 5)
        return std::nullopt;
    return hatch(static_cast<HatchStyle>(style), line, background, mode);
}

Brush Brush::pattern(const QImage& picture)
{
    Brush b;
    b.kind_ = Kind::Pattern;
    b.picture_ = picture.convertToFormat(QImage::Format_RGB32);
    return b;
}

bool Brush::hatchBit(HatchStyle style, int x, int y)
{
    const unsigned char row = HatchRows[static_cast<int>(style)][wrap(y, 8)];
    return (row & (0x80 >> wrap(x, 8))) != 0;
}

std::optional<Color> Brush::at(int x, int y) const
{
    switch (kind_) {
    case Kind::Solid:
        return color_;
    case Kind::Hatch:
        if (hatchBit(hatch_, x, y))
            return color_;
        if (mode_ == BackgroundMode::Opaque)
            return background_;
        return std::nullopt;
    case Kind::Pattern: {
        if (picture_.isNull())
            return std::nullopt;
        const QRgb p = picture_.pixel(wrap(x, picture_.width()), wrap(y, picture_.height()));
        return rgb(qRed(p), qGreen(p), qBlue(p));
    }
    }
    return std::nullopt;
}

} // namespace quarbel::gfx
