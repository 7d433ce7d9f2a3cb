// The picture button's colour operations.

#include "controls/common/SystemColors.h"
#include "controls/picturebutton/ButtonLook.h"

#include <algorithm>

namespace quarbel::picturebutton {

gfx::Color ResolveButtonColor(std::uint32_t value)
{
    if (value < 0x1000000u)
        return value;
    return SystemColors::get(static_cast<int>(value & 0xFFFFFFu));
}

Rgb SplitColor(gfx::Color colour)
{
    const int blue = static_cast<int>(colour / 65536);
    const int green = static_cast<int>((colour - static_cast<gfx::Color>(blue) * 65536) / 256);
    const int red = static_cast<int>(colour - static_cast<gfx::Color>(blue) * 65536 -
                                     static_cast<gfx::Color>(green) * 256);
    return {red, green, blue};
}

gfx::Color ShadeColor(gfx::Color colour, int a)
{
    const Rgb c = SplitColor(colour);
    const auto clamp = [](int v) { return std::clamp(v, 0, 255); };
    return gfx::rgb(clamp(c.red + a), clamp(c.green + a), clamp(c.blue + c.blue * a / 192));
}

gfx::Color AddCapped(Rgb c, int dr, int dg, int db)
{
    return gfx::rgb(std::min(c.red + dr, 255), std::min(c.green + dg, 255), std::min(c.blue + db, 255));
}

}  // namespace quarbel::picturebutton
