#pragma once
// Brushes for filling: a solid colour, one of the six 8x8 hatch patterns, or a picture tiled
// as a pattern. Hatch and pattern brushes are aligned to the surface origin: the brush pixel
// used at (x, y) is the one at (x mod 8, y mod 8), or (x mod w, y mod h) for a picture.

#include "gfx/Types.h"

#include <QImage>
#include <optional>

namespace quarbel::gfx {

enum class HatchStyle {
    Horizontal = 0,
    Vertical = 1,
    ForwardDiagonal = 2,
    BackwardDiagonal = 3,
    Cross = 4,
    DiagonalCross = 5
};

// Whether the spaces between hatch lines are painted in the background colour.
enum class BackgroundMode { Opaque, Transparent };

class Brush {
public:
    static Brush solid(Color c);
    static Brush hatch(HatchStyle style, Color line, Color background,
                       BackgroundMode mode = BackgroundMode::Opaque);
    // An out-of-range style number gives no brush (nullopt), as the platform refuses it.
    static std::optional<Brush> hatch(int style, Color line, Color background,
                                      BackgroundMode mode = BackgroundMode::Opaque);
    static Brush pattern(const QImage& picture);

    // The colour this brush paints at surface pixel (x, y), or nullopt to leave it unchanged.
    std::optional<Color> at(int x, int y) const;

    // True when pixel (x, y) of the 8x8 hatch cell is on a hatch line.
    static bool hatchBit(HatchStyle style, int x, int y);

private:
    enum class Kind { Solid, Hatch, Pattern };
    Kind m_kind = Kind::Solid;
    Color m_color = 0;
    Color m_background = 0;
    HatchStyle m_hatch = HatchStyle::Horizontal;
    BackgroundMode m_mode = BackgroundMode::Opaque;
    QImage m_picture;
};

}  // namespace quarbel::gfx
