#include "controls/progressbar/ProgressMath.h"

#include "controls/common/SystemColors.h"

#include <algorithm>
#include <limits>

namespace quarbel::progress {

PercentResult PercentFromValue(int v, int min, int max)
{
    const long long range = static_cast<long long>(max) - min;
    const long long offset = static_cast<long long>(v) - min;
    const long long product = offset * 100;
    if (range < std::numeric_limits<int>::min() || range > std::numeric_limits<int>::max() ||
        offset < std::numeric_limits<int>::min() || offset > std::numeric_limits<int>::max() ||
        product < std::numeric_limits<int>::min() || product > std::numeric_limits<int>::max())
        return {0, ValueError::Overflow};
    if (range == 0)
        return {0, ValueError::DivisionByZero};
    const double p = static_cast<double>(product) / static_cast<double>(range);
    return {gfx::roundEven(p), ValueError::None};
}

int ValueFromPercent(int percent, int min, int max)
{
    const double range = static_cast<double>(max) - min;
    return gfx::roundEven(percent / 100.0 * range + min);
}

gfx::Color LightenColor(gfx::Color c, int a)
{
    const auto ch = [a](int x) { return std::min(255, a + (255 - a) * x / 255); };
    return gfx::rgb(ch(gfx::red(c)), ch(gfx::green(c)), ch(gfx::blue(c)));
}

gfx::Color BlendColor(std::uint32_t c1, std::uint32_t c2, int a)
{
    const gfx::Color k1 = ResolveColor(c1);
    const gfx::Color k2 = ResolveColor(c2);
    const auto ch = [a](int x1, int x2) {
        return std::clamp(gfx::roundEven((255 - a) * x2 / 255.0 + a * x1 / 255.0), 0, 255);
    };
    return gfx::rgb(ch(gfx::red(k1), gfx::red(k2)), ch(gfx::green(k1), gfx::green(k2)),
                    ch(gfx::blue(k1), gfx::blue(k2)));
}

}  // namespace quarbel::progress
