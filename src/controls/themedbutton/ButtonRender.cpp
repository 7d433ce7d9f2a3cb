#include "controls/themedbutton/ButtonRender.h"

#include "controls/common/SystemColors.h"
#include "controls/themedbutton/ButtonIcon.h"
#include "controls/themedbutton/GlossyStyles.h"

namespace quarbel::themed {

int displayedState(int buttonState, int style, Mode mode, bool toggleOn, bool enabled)
{
    int s = buttonState;
    if (style != FixedGlossy && mode == Mode::Design)
        s = Hot;
    if (toggleOn)
        s = Pressed;
    if (!enabled)
        s = Disabled;
    return s;
}

namespace {

GlossyLook glossyLook(const ButtonLook& l)
{
    GlossyLook g;
    g.style = l.style;
    g.state = static_cast<FaceState>(l.state);
    g.hasFocus = l.hasFocus;
    g.showFocus = l.showFocus;
    g.displayAsDefault = l.displayAsDefault;
    g.useCustomColors = l.useCustomColors;
    g.backColor = l.backColor;
    g.highlightColor = l.highlightColor;
    g.buttonFace = SystemColors::get(ButtonFace);
    g.highlight = SystemColors::get(Highlight);
    return g;
}

}  // namespace

void ClearSurface(gfx::Surface& s)
{
    if (!s.isNull())
        s.fillRect(s.bounds(), SystemColors::get(ButtonFace));
}

void DrawFace(gfx::Surface& s, const ButtonLook& l, RenderResult& result)
{
    switch (l.style) {
    case Classic3D: DrawClassic3D(s, l); break;
    case Soft3D: DrawSoft3D(s, l); break;
    case FlatHover: DrawFlatHover(s, l); break;
    case SimpleBorder: DrawSimpleBorder(s, l); break;
    case HighlightFill: DrawHighlightFill(s, l); break;
    case WindowsTheme: result.themeFailed = !DrawThemeFace(s, l, &result.themeRegion); break;
    case FixedGlossy:
    case SystemGlossy:
    case SystemFlatGradient:
    case SystemRaisedGradient:
    case RoundedPixmap: DrawGlossyFace(s, l.width, l.height, glossyLook(l)); break;
    default: break;
    }
    result.iconMargin = IconMarginAfterFace(l.style);
}

RenderResult RenderThemedButton(gfx::Surface& s, const ButtonLook& l)
{
    RenderResult result;
    DrawFace(s, l, result);
    DrawButtonIcon(s, l, result.iconMargin);
    DrawCaption(s, l);
    return result;
}

}  // namespace quarbel::themed
