#pragma once
// Recognising a colour profile that describes sRGB itself.

#include <cstddef>

namespace quarbel::codecs::jpeg {

// True for an RGB profile that names itself sRGB: converting from it would change nothing but
// cost a pass through the colour engine.
bool isSrgbProfile(const void* data, std::size_t size);

}  // namespace quarbel::codecs::jpeg
