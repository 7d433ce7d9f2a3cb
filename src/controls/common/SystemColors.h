#pragma once
// The system colours that colour values 0x80000000 + n refer to, numbered as the classic
// desktop numbers them (5 window, 8 window text, 13 highlight, 15 button face, 16 button
// shadow, 20 button highlight, 21 3-D dark shadow, 22 3-D light...). The table is taken from
// the application's Qt palette where a role exists, with the classic defaults elsewhere.

#include "gfx/Edge.h"
#include "gfx/Types.h"

#include <QPalette>
#include <array>
#include <cstdint>

namespace quarbel {

enum SystemColor : int {
    ScrollBar = 0,
    Desktop = 1,
    ActiveCaption = 2,
    InactiveCaption = 3,
    Menu = 4,
    Window = 5,
    WindowFrame = 6,
    MenuText = 7,
    WindowText = 8,
    CaptionText = 9,
    ActiveBorder = 10,
    InactiveBorder = 11,
    AppWorkspace = 12,
    Highlight = 13,
    HighlightText = 14,
    ButtonFace = 15,
    ButtonShadow = 16,
    GrayText = 17,
    ButtonText = 18,
    InactiveCaptionText = 19,
    ButtonHighlight = 20,
    DarkShadow3D = 21,
    Light3D = 22,
    InfoText = 23,
    InfoBackground = 24,
    HotLight = 26,
    GradientActiveCaption = 27,
    GradientInactiveCaption = 28,
    MenuHighlight = 29,
    MenuBar = 30,
};

constexpr int SystemColorCount = 31;
using SystemColorTable = std::array<gfx::Color, SystemColorCount>;

// A colour value naming system colour n.
constexpr std::uint32_t systemColorRef(int n) { return 0x80000000u + static_cast<std::uint32_t>(n); }

class SystemColors {
public:
    // The classic desktop defaults.
    static SystemColorTable classicTable();
    // The classic defaults with every colour the palette has a role for replaced by it.
    static SystemColorTable paletteTable(const QPalette& palette);

    // The table in use: the application palette's table, built on first use (the classic
    // table when no GUI application exists yet), or the one given to use().
    static const SystemColorTable& table();
    static void use(const SystemColorTable& t);
    // Forget a table given to use(); the next table() is built from the palette again.
    static void reset();
    // The application palette has changed: a table built from the palette is built again on
    // next use; a table given to use() stays.
    static void paletteChanged();

    // System colour n; numbers outside the table give black.
    static gfx::Color get(int n);
    // The colours of the 3-D edges.
    static gfx::EdgeColors edgeColors();
};

// A value with the top bit set names system colour (value & 0x7FFFFFFF); any other value is
// returned unchanged.
gfx::Color ResolveColor(std::uint32_t value);

}  // namespace quarbel
