// The picture button's repaint: face, content layout, picture, focus frame and caption.

#include "controls/common/SystemColors.h"
#include "controls/picturebutton/ButtonLook.h"
#include "gfx/Blit.h"
#include "gfx/Text.h"

namespace quarbel::picturebutton {

void DrawCaption(gfx::Surface& s, const Look& look, const gfx::Rect& captionRect)
{
    if (look.caption.isEmpty())
        return;
    constexpr unsigned flags = gfx::TextWordBreak | gfx::TextCenter | gfx::TextVCenter;
    const gfx::Rect r = look.isPressed && look.buttonStyle != Flat ? captionRect.offset(1, 1) : captionRect;
    if (look.enabled) {
        gfx::drawText(s, look.caption, r, flags, look.font, ResolveButtonColor(look.foreColor));
        return;
    }
    gfx::drawText(s, look.caption, {r.left + 1, r.top + 1, r.right + 1, r.bottom}, flags, look.font,
                  ResolveButtonColor(systemColorRef(ButtonHighlight)));
    gfx::drawText(s, look.caption, r, flags, look.font, ResolveButtonColor(systemColorRef(ButtonShadow)));
}

Painted RenderPictureButton(gfx::Surface& s, const Look& look)
{
    Painted out;
    gfx::Color surfaceBack = look.surfaceBackColor;
    s.fillRect(s.bounds(), surfaceBack);
    ApplyStateColours(s, look, surfaceBack);
    if (look.buttonStyle != FaceOnly)
        DrawBorder(s, look, surfaceBack);

    const gfx::Rect content{4, 4, look.W - 4, look.H - 4};
    const gfx::Size caption = MeasureCaption(look.caption, look.font, content.width());
    out.layout = LayoutContent(content, caption, !look.picture.isNull(), look.caption.isEmpty(),
                               {look.pictureWidth, look.pictureHeight}, look.picturePosition,
                               look.previousPictureRect);
    DrawPicture(s, look, out.layout.picture);
    if (look.hasFocus && look.showFocusRect && look.buttonStyle != XP)
        gfx::drawFocusRect(s, {4, 4, look.W - 4, look.H - 4});
    DrawCaption(s, look, out.layout.caption);
    out.surfaceBackColor = surfaceBack;
    return out;
}

}  // namespace quarbel::picturebutton
