// Styles 0 to 4: the 3-D, soft, flat-until-hot, simple-border and highlight-fill faces, drawn
// on the rectangle (0, 0, W, H) from the custom or the system colours.

#include "controls/common/SystemColors.h"
#include "controls/themedbutton/ButtonColors.h"
#include "controls/themedbutton/ButtonRender.h"
#include "gfx/Edge.h"

namespace quarbel::themed {

namespace {

gfx::Color sys(int n) { return SystemColors::get(n); }

gfx::Rect whole(const ButtonLook& l) { return {0, 0, l.width, l.height}; }

void edge(gfx::Surface& s, const ButtonLook& l, unsigned kind)
{
    gfx::drawEdge(s, whole(l), kind, gfx::AllSides, SystemColors::edgeColors());
}

// The background of styles 1 and 2 when they are not Normal: the custom back colour in the
// Normal and Disabled states, the custom highlight otherwise.
gfx::Color softBackground(const ButtonLook& l)
{
    if (!l.useCustomColors)
        return sys(ButtonFace);
    return l.state == Normal || l.state == Disabled ? l.backColor : l.highlightColor;
}

}  // namespace

void DrawClassic3D(gfx::Surface& s, const ButtonLook& l)
{
    const gfx::Color b = !l.useCustomColors  ? sys(ButtonFace)
                         : l.state == Normal ? l.backColor
                                             : l.highlightColor;
    s.fillRect(whole(l), b);
    edge(s, l, l.state == Pressed ? gfx::EdgeSunken : gfx::EdgeRaised);
    // The default or focus frame: its right and bottom sides fall outside the surface.
    if ((l.showFocus && l.hasFocus) || (!l.hasFocus && l.displayAsDefault))
        drawFrame(s, 0, 0, l.width, l.height, 0x000000);
}

void DrawSoft3D(gfx::Surface& s, const ButtonLook& l)
{
    const gfx::Color b = softBackground(l);
    s.fillRect(whole(l), b);
    if (l.state == Pressed)
        edge(s, l, gfx::SunkenOuter);
    else if (l.state == Disabled)
        drawFrame(s, 0, 0, l.width, l.height - 1, b);
    else
        edge(s, l, gfx::RaisedInner);
}

void DrawFlatHover(gfx::Surface& s, const ButtonLook& l)
{
    const gfx::Color b = softBackground(l);
    switch (l.state) {
    case Normal: {
        const gfx::Color f = l.useCustomColors ? l.backColor : sys(ButtonFace);
        s.fillRect(whole(l), f);
        drawFrame(s, 0, 0, l.width, l.height, f);
        break;
    }
    case Hot:
        s.fillRect(whole(l), b);
        edge(s, l, gfx::RaisedInner);
        break;
    case Pressed:
        s.fillRect(whole(l), b);
        edge(s, l, gfx::SunkenOuter);
        break;
    default:
        s.fillRect(whole(l), b);
        drawFrame(s, 0, 0, l.width, l.height - 1, b);
        break;
    }
}

void DrawSimpleBorder(gfx::Surface& s, const ButtonLook& l)
{
    gfx::Color f = 0;
    if (l.state == Hot)
        f = l.useCustomColors ? AverageColor(l.highlightColor, l.backColor)
                              : AverageColor(sys(ButtonShadow), sys(ButtonFace));
    else if (l.state == Pressed)
        f = l.useCustomColors ? l.highlightColor : sys(ButtonShadow);
    else
        f = l.useCustomColors ? l.backColor : sys(ButtonFace);
    s.fillRect(whole(l), f);

    // The etched frame: a shadow outline, a window-coloured one a pixel further in, two
    // corners put back to the fill and two softened.
    const gfx::Color d = sys(ButtonShadow);
    const gfx::Color light = sys(Window);
    const int w = l.width - 1;
    const int h = l.height - 1;
    drawFrame(s, 0, 0, w - 1, h - 1, d);
    drawFrame(s, 1, 1, w - 1, h - 1, light);
    s.setPixel(0, h, f);
    s.setPixel(w, 0, f);
    const gfx::Color soft = AverageColor(light, d);
    s.setPixel(1, h - 1, soft);
    s.setPixel(w - 1, 1, soft);
}

void DrawHighlightFill(gfx::Surface& s, const ButtonLook& l)
{
    if (l.state == Hot || l.state == Pressed) {
        const gfx::Color light = l.useCustomColors ? l.highlightColor : sys(Highlight);
        s.fillRect(whole(l), BlendTowardWhite(light, l.state == Hot ? 176 : 128));
        // Its right side lies at x = W, outside the surface.
        drawFrame(s, 0, 0, l.width, l.height - 1, light);
        return;
    }
    s.fillRect(whole(l), BlendTowardWhite(l.useCustomColors ? l.backColor : sys(ButtonFace), 32));
}

}  // namespace quarbel::themed
