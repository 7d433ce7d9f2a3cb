#include "controls/common/SystemColors.h"

#include <QGuiApplication>
#include <optional>

namespace quarbel {

namespace {

std::optional<SystemColorTable>& current()
{
    static std::optional<SystemColorTable> t;
    return t;
}

// Whether the current table was given to use() rather than built from the palette.
bool& given()
{
    static bool g = false;
    return g;
}

gfx::Color fromQColor(const QColor& c) { return gfx::rgb(c.red(), c.green(), c.blue()); }

}  // namespace

SystemColorTable SystemColors::classicTable()
{
    using gfx::rgb;
    return {
        rgb(212, 208, 200),  // 0 scroll bar
        rgb(58, 110, 165),   // 1 desktop
        rgb(10, 36, 106),    // 2 active caption
        rgb(128, 128, 128),  // 3 inactive caption
        rgb(212, 208, 200),  // 4 menu
        rgb(255, 255, 255),  // 5 window
        rgb(0, 0, 0),        // 6 window frame
        rgb(0, 0, 0),        // 7 menu text
        rgb(0, 0, 0),        // 8 window text
        rgb(255, 255, 255),  // 9 caption text
        rgb(212, 208, 200),  // 10 active border
        rgb(212, 208, 200),  // 11 inactive border
        rgb(128, 128, 128),  // 12 application workspace
        rgb(10, 36, 106),    // 13 highlight
        rgb(255, 255, 255),  // 14 highlight text
        rgb(212, 208, 200),  // 15 button face
        rgb(128, 128, 128),  // 16 button shadow
        rgb(128, 128, 128),  // 17 grey text
        rgb(0, 0, 0),        // 18 button text
        rgb(212, 208, 200),  // 19 inactive caption text
        rgb(255, 255, 255),  // 20 button highlight
        rgb(64, 64, 64),     // 21 3-D dark shadow
        rgb(212, 208, 200),  // 22 3-D light
        rgb(0, 0, 0),        // 23 tooltip text
        rgb(255, 255, 225),  // 24 tooltip background
        rgb(181, 181, 181),  // 25 (unused)
        rgb(0, 0, 128),      // 26 hot-tracked item
        rgb(166, 202, 240),  // 27 active caption gradient
        rgb(192, 192, 192),  // 28 inactive caption gradient
        rgb(49, 106, 197),   // 29 menu highlight
        rgb(212, 208, 200),  // 30 menu bar
    };
}

SystemColorTable SystemColors::paletteTable(const QPalette& p)
{
    SystemColorTable t = classicTable();
    const auto set = [&](int n, QPalette::ColorGroup g, QPalette::ColorRole role) {
        t[n] = fromQColor(p.color(g, role));
    };
    const auto A = QPalette::Active;
    set(Menu, A, QPalette::Window);
    set(Window, A, QPalette::Base);
    set(MenuText, A, QPalette::WindowText);
    set(WindowText, A, QPalette::Text);
    set(Highlight, A, QPalette::Highlight);
    set(HighlightText, A, QPalette::HighlightedText);
    set(ButtonFace, A, QPalette::Button);
    set(ButtonShadow, A, QPalette::Dark);
    set(GrayText, QPalette::Disabled, QPalette::Text);
    set(ButtonText, A, QPalette::ButtonText);
    set(ButtonHighlight, A, QPalette::Light);
    set(DarkShadow3D, A, QPalette::Shadow);
    set(Light3D, A, QPalette::Midlight);
    set(InfoText, A, QPalette::ToolTipText);
    set(InfoBackground, A, QPalette::ToolTipBase);
    set(HotLight, A, QPalette::Link);
    set(MenuBar, A, QPalette::Window);
    return t;
}

const SystemColorTable& SystemColors::table()
{
    auto& t = current();
    if (t)
        return *t;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // No palette yet: the classic colours, without keeping them for later.
        static const SystemColorTable classic = classicTable();
        return classic;
    }
    t = paletteTable(QGuiApplication::palette());
    return *t;
}

void SystemColors::use(const SystemColorTable& t)
{
    current() = t;
    given() = true;
}

void SystemColors::reset()
{
    current().reset();
    given() = false;
}

void SystemColors::paletteChanged()
{
    if (!given())
        current().reset();
}

gfx::Color SystemColors::get(int n)
{
    if (n < 0 || n >= SystemColorCount)
        return 0;
    return table()[n];
}

gfx::EdgeColors SystemColors::edgeColors()
{
    return {get(Light3D), get(ButtonHighlight), get(ButtonShadow), get(DarkShadow3D), get(ButtonFace)};
}

gfx::Color ResolveColor(std::uint32_t value)
{
    if (value & 0x80000000u)
        return SystemColors::get(static_cast<int>(value & 0x7FFFFFFFu));
    return value;
}

}  // namespace quarbel
