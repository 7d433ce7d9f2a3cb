#include "gfx/Brush.h"

namespace quarbel::gfx {

namespace {

// One byte a row, the most significant bit is the leftmost pixel.
constexpr unsigned char HatchRows[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // horizontal: row 3
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical: column 4
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal: x == y
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal: x == 7 - y
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // cross: row 3 and column 4
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross: both diagonals
};

int wrap(int v, int n)
{
    const int m = v % n;
    return m < 0 ? m + n : m;
}

}  // namespace

Brush Brush::solid(Color c)
{
    Brush b;
    b.m_kind = Kind::Solid;
    b.m_color = c;
    return b;
}

Brush Brush::hatch(HatchStyle style, Color line, Color background, BackgroundMode mode)
{
    Brush b;
    b.m_kind = Kind::Hatch;
    b.m_hatch = style;
    b.m_color = line;
    b.m_background = background;
    b.m_mode = mode;
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
    b.m_kind = Kind::Pattern;
    b.m_picture = picture.convertToFormat(QImage::Format_RGB32);
    return b;
}

bool Brush::hatchBit(HatchStyle style, int x, int y)
{
    const unsigned char row = HatchRows[static_cast<int>(style)][wrap(y, 8)];
    return (row & (0x80 >> wrap(x, 8))) != 0;
}

std::optional<Color> Brush::at(int x, int y) const
{
    switch (m_kind) {
    case Kind::Solid: return m_color;
    case Kind::Hatch:
        if (hatchBit(m_hatch, x, y))
            return m_color;
        if (m_mode == BackgroundMode::Opaque)
            return m_background;
        return std::nullopt;
    case Kind::Pattern: {
        if (m_picture.isNull())
            return std::nullopt;
        const QRgb p = m_picture.pixel(wrap(x, m_picture.width()), wrap(y, m_picture.height()));
        return rgb(qRed(p), qGreen(p), qBlue(p));
    }
    }
    return std::nullopt;
}

}  // namespace quarbel::gfx
