#pragma once
// Pixel regions: rectangles, polygons and rounded rectangles, combined by union and difference.
// A region covers whole pixels; like the rectangles of this layer, the right and bottom edges
// of the shape that built it are excluded.

#include "gfx/Types.h"

#include <QRegion>
#include <vector>

namespace quarbel::gfx {

enum class FillMode { Alternate, Winding };

class Region {
public:
    Region() = default;
    static Region rect(const Rect& r);
    // The pixels whose centres lie inside the closed polygon.
    static Region polygon(const std::vector<Point>& points, FillMode mode = FillMode::Alternate);
    // A rectangle whose corners are quarter ellipses of ellipseWidth x ellipseHeight.
    static Region roundRect(const Rect& r, int ellipseWidth, int ellipseHeight);

    Region united(const Region& o) const;
    Region subtracted(const Region& o) const;
    Region intersected(const Region& o) const;
    Region offset(int dx, int dy) const { return Region(m_region.translated(dx, dy)); }

    bool contains(int x, int y) const;
    bool empty() const { return m_region.isEmpty(); }
    Rect bounds() const;
    const QRegion& qregion() const { return m_region; }

private:
    explicit Region(QRegion r) : m_region(std::move(r)) {}
    QRegion m_region;
};

}  // namespace quarbel::gfx
