#pragma once
// Alpha premultiplication for 8-bit pictures, as lazy libvips operations of one pass each.
// Colour is scaled premultiplied so that transparent pixels do not bleed their invisible
// colour into visible ones. Kept in 8 bits, the premultiplied values are exactly what the
// picture shows over black (to half a step), and libvips scales 8-bit pictures several times
// faster than 16-bit or floating-point ones.

#include <vips/vips8>

namespace quarbel::imageservice::pixels {

// 8-bit picture whose last band is alpha: colour becomes round(colour * alpha / 255).
vips::VImage premultiplied(const vips::VImage& image);

// The inverse for 8-bit pictures: colour becomes round(colour * 255 / alpha), at most 255;
// fully transparent pixels become black.
vips::VImage unpremultiplied(const vips::VImage& image);

}  // namespace quarbel::imageservice::pixels
