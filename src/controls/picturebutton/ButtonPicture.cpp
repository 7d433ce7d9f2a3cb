// The picture button's picture: bitmaps keyed by MaskColor, icons by their alpha channel, each
// drawn normally, as a grey shadow, or embossed when the button is disabled.

#include "controls/common/SystemColors.h"
#include "controls/picturebutton/ButtonLook.h"
#include "gfx/Blit.h"

#include <QPainter>

namespace quarbel::picturebutton {

namespace {

enum class PictureMode { Normal, Shadow, Disabled };

constexpr gfx::Color ShadowGrey = gfx::rgb(146, 146, 146);
constexpr gfx::Color White = 0xFFFFFF;
constexpr gfx::Color Black = 0x000000;

gfx::Color sys(int n) { return ResolveButtonColor(systemColorRef(n)); }

bool isIcon(const QImage& picture) { return picture.hasAlphaChannel(); }

// The part of `from` stretched to `whole` (a rectangle of the destination) that falls inside
// `visible`, each pixel taking the source pixel its centre falls on. Only that part is made,
// so a picture box far larger than the button costs nothing.
struct StretchedPart {
    gfx::Surface pixels;
    gfx::Point at;
};

StretchedPart stretchPart(const gfx::Surface& from, const gfx::Rect& whole, const gfx::Rect& visible)
{
    const gfx::Rect part = whole.intersected(visible);
    StretchedPart out{gfx::Surface(part.width(), part.height()), {part.left, part.top}};
    const long long sw = from.width();
    const long long sh = from.height();
    for (int y = part.top; y < part.bottom; ++y) {
        const auto sy = static_cast<int>((2LL * (y - whole.top) + 1) * sh / (2LL * whole.height()));
        for (int x = part.left; x < part.right; ++x) {
            const auto sx = static_cast<int>((2LL * (x - whole.left) + 1) * sw / (2LL * whole.width()));
            out.pixels.setPixel(x - part.left, y - part.top, from.pixel(sx, sy));
        }
    }
    return out;
}

// Where a picture of the button's picture size lands, and the part of it worth making (one
// pixel more on the left and top for the embossed copy that is drawn one pixel right and down).
gfx::Rect pictureBox(const Look& look, const gfx::Rect& r)
{
    return {r.left, r.top, r.left + look.pictureWidth, r.top + look.pictureHeight};
}
gfx::Rect worthMaking(const gfx::Surface& s) { return {-1, -1, s.width(), s.height()}; }

void drawStateShape(gfx::Surface& dst, const gfx::Surface& shape, const gfx::Rect& src, gfx::Point to,
                    gfx::Color background, PictureMode mode)
{
    gfx::drawState(dst, shape, src, to, background,
                   mode == PictureMode::Shadow ? gfx::DrawStateMode::Mono : gfx::DrawStateMode::Disabled,
                   ShadowGrey, sys(ButtonHighlight), sys(ButtonShadow));
}

void DrawBitmapPicture(gfx::Surface& s, const Look& look, const gfx::Rect& r, PictureMode mode)
{
    const gfx::Surface bitmap(look.picture);
    const gfx::Color key = ResolveButtonColor(look.maskColor);
    const gfx::Rect box = pictureBox(look, r);
    if (box.empty())
        return;
    if (mode == PictureMode::Normal) {
        const StretchedPart part = stretchPart(bitmap, box, worthMaking(s));
        gfx::maskedCopy(s, part.pixels, part.pixels.bounds(), part.at, key);
        return;
    }
    // The key colour becomes white, and the shape is every pixel that is not white. Taking
    // each pixel from the source as it is stretched gives the same as keying the whole source
    // first, and costs only the visible part.
    StretchedPart part = stretchPart(bitmap, box, worthMaking(s));
    for (int y = 0; y < part.pixels.height(); ++y)
        for (int x = 0; x < part.pixels.width(); ++x)
            if (part.pixels.pixel(x, y) == key)
                part.pixels.setPixel(x, y, White);
    drawStateShape(s, part.pixels, part.pixels.bounds(), part.at, White, mode);
}

void DrawIconPicture(gfx::Surface& s, const Look& look, const gfx::Rect& r, PictureMode mode)
{
    const gfx::Rect box = pictureBox(look, r);
    if (box.empty())
        return;
    if (mode == PictureMode::Normal) {
        QPainter painter(&s.qimage());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (s.clip())
            painter.setClipRegion(s.clip()->qregion());
        painter.drawImage(QRect(box.left, box.top, box.width(), box.height()), look.picture);
        return;
    }
    // The icon's shape (its opaque half) drawn in its state on black, then everything but
    // black copied.
    const QImage icon = look.picture.convertToFormat(QImage::Format_ARGB32);
    gfx::Surface shape(icon.width(), icon.height(), White);
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            if (qAlpha(icon.pixel(x, y)) >= 128)
                shape.setPixel(x, y, Black);
    gfx::Surface scratch(icon.width(), icon.height(), Black);
    drawStateShape(scratch, shape, shape.bounds(), {0, 0}, White, mode);
    const StretchedPart part = stretchPart(scratch, box, worthMaking(s));
    gfx::maskedCopy(s, part.pixels, part.pixels.bounds(), part.at, Black);
}

}  // namespace

void DrawPicture(gfx::Surface& s, const Look& look, const gfx::Rect& pictureRect)
{
    if (look.picture.isNull())
        return;
    const bool lifted = look.isHovering && !look.isPressed && look.buttonStyle == Flat;
    int offset = 0;
    if (lifted)
        offset = -3;
    else if (look.isPressed && look.buttonStyle != Flat)
        offset = 1;
    const gfx::Rect shifted = pictureRect.offset(offset, offset);
    const auto draw = isIcon(look.picture) ? DrawIconPicture : DrawBitmapPicture;
    if (!look.enabled) {
        draw(s, look, shifted, PictureMode::Disabled);
        return;
    }
    if (lifted)
        draw(s, look, pictureRect, PictureMode::Shadow);
    draw(s, look, shifted, PictureMode::Normal);
}

}  // namespace quarbel::picturebutton
