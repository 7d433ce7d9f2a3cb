#include "gfx/Region.h"

#include <algorithm>
#include <cmath>

namespace quarbel::gfx {

Region Region::rect(const Rect& r)
{
    if (r.empty())
        return {};
    return Region(QRegion(r.left, r.top, r.width(), r.height()));
}

namespace {

// Crossings of the horizontal line y = yc with the polygon's edges, each with its winding
// direction; an edge counts when yc lies in [lower end, upper end) so that shared vertices
// are counted once.
struct Crossing {
    double x;
    int dir;
};

std::vector<Crossing> crossings(const std::vector<Point>& pts, double yc)
{
    std::vector<Crossing> out;
    const std::size_t n = pts.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point a = pts[i];
        const Point b = pts[(i + 1) % n];
        if (a.y == b.y)
            continue;
        const bool down = b.y > a.y;
        const double y0 = down ? a.y : b.y;
        const double y1 = down ? b.y : a.y;
        if (yc < y0 || yc >= y1)
            continue;
        const double t = (yc - a.y) / double(b.y - a.y);
        out.push_back({a.x + t * (b.x - a.x), down ? 1 : -1});
    }
    std::sort(out.begin(), out.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
    return out;
}

}  // namespace

Region Region::polygon(const std::vector<Point>& pts, FillMode mode)
{
    if (pts.size() < 3)
        return {};
    int top = pts[0].y, bottom = pts[0].y;
    for (const Point& p : pts) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    QRegion result;
    for (int y = top; y < bottom; ++y) {
        const auto xs = crossings(pts, y + 0.5);
        int winding = 0;
        for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
            winding += xs[i].dir;
            const bool inside = mode == FillMode::Alternate ? (i % 2 == 0) : winding != 0;
            if (!inside)
                continue;
            // Pixel x is inside when its centre x + 0.5 lies in [from, to).
            const int from = static_cast<int>(std::ceil(xs[i].x - 0.5));
            const int to = static_cast<int>(std::ceil(xs[i + 1].x - 0.5));
            if (to > from)
                result += QRect(from, y, to - from, 1);
        }
    }
    return Region(result);
}

Region Region::roundRect(const Rect& r, int ellipseWidth, int ellipseHeight)
{
    if (r.empty())
        return {};
    const double rx = std::min(std::abs(ellipseWidth), r.width()) / 2.0;
    const double ry = std::min(std::abs(ellipseHeight), r.height()) / 2.0;
    if (rx < 1 || ry < 1)
        return rect(r);
    QRegion result;
    for (int y = r.top; y < r.bottom; ++y) {
        const double yc = y + 0.5;
        double dy = 0;
        if (yc < r.top + ry)
            dy = r.top + ry - yc;
        else if (yc > r.bottom - ry)
            dy = yc - (r.bottom - ry);
        int inset = 0;
        if (dy > 0) {
            const double k = std::max(0.0, 1.0 - (dy * dy) / (ry * ry));
            inset = static_cast<int>(std::ceil(rx - rx * std::sqrt(k) - 0.5));
        }
        if (r.width() - 2 * inset > 0)
            result += QRect(r.left + inset, y, r.width() - 2 * inset, 1);
    }
    return Region(result);
}

Region Region::united(const Region& o) const { return Region(m_region.united(o.m_region)); }
Region Region::subtracted(const Region& o) const { return Region(m_region.subtracted(o.m_region)); }
Region Region::intersected(const Region& o) const { return Region(m_region.intersected(o.m_region)); }

bool Region::contains(int x, int y) const { return m_region.contains(QPoint(x, y)); }

Rect Region::bounds() const
{
    const QRect b = m_region.boundingRect();
    if (b.isEmpty())
        return {};
    return {b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
}

}  // namespace quarbel::gfx
