// Where the picture button's picture and caption go inside the 4-pixel margin.

#include "controls/picturebutton/ButtonLook.h"
#include "gfx/Text.h"

namespace quarbel::picturebutton {

gfx::Size MeasureCaption(const QString& caption, const QFont& font, int width)
{
    return gfx::measureText(caption, font, gfx::TextWordBreak | gfx::TextCenter, width);
}

namespace {

gfx::Rect sized(int left, int top, gfx::Size s) { return {left, top, left + s.width, top + s.height}; }

}  // namespace

ContentLayout LayoutContent(const gfx::Rect& A, gfx::Size caption, bool hasPicture, bool captionEmpty,
                            gfx::Size picture, int position, const gfx::Rect& previousPicture)
{
    const int Aw = A.width();
    const int Ah = A.height();
    const int cw = caption.width;
    const int ch = caption.height;
    const int PW = picture.width;
    const int PH = picture.height;
    ContentLayout out;
    out.picture = previousPicture;
    out.caption = sized(A.left + (Aw - cw) / 2, A.top + (Ah - ch) / 2, caption);
    if (!hasPicture)
        return out;
    if (captionEmpty) {
        out.picture = sized(A.left + (Aw - PW) / 2, A.top + (Ah - PH) / 2, picture);
        return out;
    }
    constexpr int gap = 4;
    switch (position) {
    case Above:
        out.picture = sized(A.left + (Aw - PW) / 2, A.top + (Ah - (PH + gap + ch)) / 2, picture);
        out.caption = sized(A.left + (Aw - cw) / 2, out.picture.bottom + gap, caption);
        break;
    case LeftOf:
        out.picture = sized(A.left + (Aw - (cw + gap + PW)) / 2, A.top + (Ah - PH) / 2, picture);
        out.caption = sized(out.picture.right + gap, A.top + (Ah - ch) / 2, caption);
        break;
    case RightOf:
        out.caption = sized(A.left + (Aw - (cw + gap + PW)) / 2, A.top + (Ah - ch) / 2, caption);
        out.picture = sized(out.caption.right + gap, A.top + (Ah - PH) / 2, picture);
        break;
    case Below:
        out.caption = sized(A.left + (Aw - cw) / 2, A.top + (Ah - (ch + gap + PH)) / 2, caption);
        out.picture = sized(A.left + (Aw - PW) / 2, out.caption.bottom + gap, picture);
        break;
    default: break;
    }
    return out;
}

}  // namespace quarbel::picturebutton
