#pragma once
// The progress bar's value arithmetic and colour operations.

#include "gfx/Types.h"

#include <cstdint>

namespace quarbel::progress {

enum class ValueError { None, DivisionByZero, Overflow };

struct PercentResult {
    int percent = 0;
    ValueError error = ValueError::None;
};

// Percent for value v in min..max: round((v - min) * 100 / (max - min)), the products formed
// in 32-bit arithmetic. max == min is a division error; a product outside 32 bits an overflow.
PercentResult PercentFromValue(int v, int min, int max);
// The value a percentage stands for: round(percent / 100 * (max - min)) + min.
int ValueFromPercent(int percent, int min, int max);

// Each channel x becomes a + (255 - a) * x \ 255, capped at 255.
gfx::Color LightenColor(gfx::Color c, int a);
// Each channel becomes round((255 - a) * x2 / 255 + a * x1 / 255); both colours are resolved.
gfx::Color BlendColor(std::uint32_t c1, std::uint32_t c2, int a);

}  // namespace quarbel::progress
