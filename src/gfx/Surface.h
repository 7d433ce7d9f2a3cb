#pragma once
// A drawing surface over a QImage (Format_RGB32) with the classic raster semantics that the
// owned controls draw with: filled rectangles exclude their right and bottom edges, a line
// never paints its end point, patterns are aligned to the surface origin, and every write can
// be clipped to a region.

#include "gfx/Brush.h"
#include "gfx/Region.h"
#include "gfx/Types.h"

#include <QImage>
#include <optional>

namespace quarbel::gfx {

class Surface {
public:
    Surface() = default;
    Surface(int width, int height, Color fill = 0xFFFFFF);
    explicit Surface(const QImage& image);

    bool isNull() const { return m_image.isNull(); }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    Rect bounds() const { return {0, 0, width(), height()}; }
    const QImage& image() const { return m_image; }

    // The pixel's colour, or InvalidColor outside the surface.
    Color pixel(int x, int y) const;
    void setPixel(int x, int y, Color c);

    void fillRect(const Rect& r, Color c);
    void fillRect(const Rect& r, const Brush& brush);
    // Fills the pixels of the region (and of the clip, when one is set).
    void fillRegion(const Region& region, Color c);
    void fillRegion(const Region& region, const Brush& brush);
    // A one-pixel outline just inside the rectangle.
    void frameRect(const Rect& r, Color c);
    // Pixels from `from` towards `to`, `to` itself excluded; steps along the major axis,
    // the minor coordinate rounded to the nearest pixel with ties to the smaller coordinate.
    void drawLine(Point from, Point to, Color c);

    // A plain copy of `src` (a rectangle of `from`) to `to` on this surface.
    void copyFrom(const Surface& from, const Rect& src, Point to);

    // Every following write lands only inside the region (until clearClip).
    void setClip(const Region& region) { m_clip = region; }
    void clearClip() { m_clip.reset(); }
    const std::optional<Region>& clip() const { return m_clip; }

    // For the text and picture routines: true when the pixel may be written.
    bool writable(int x, int y) const;
    QImage& qimage() { return m_image; }

private:
    QImage m_image;
    std::optional<Region> m_clip;
};

}  // namespace quarbel::gfx
