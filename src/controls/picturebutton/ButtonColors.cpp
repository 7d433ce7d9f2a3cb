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
    // Wide enough for any amount a stored property can carry.
    const long long A = a;
    const auto clamp = [](long long v) { return static_cast<int>(std::clamp(v, 0LL, 255LL)); };
    return gfx::rgb(clamp(c.red + A), clamp(c.green + A), clamp(c.blue + c.blue * A / 192));
}

gfx::Color AddCapped(Rgb c, int dr, int dg, int db)
{
    return gfx::rgb(std::min(c.red + dr, 255), std::min(c.green + dg, 255), std::min(c.blue + db, 255));
}

}  // namespace quarbel::picturebutton
