#pragma once
// Pixel work between decoding and encoding: orientation, colour, transparency, scaling.

#include <vips/vips8>

namespace quarbel::imageservice::pixels {

bool hasAlpha(const vips::VImage& image);

// Turns the pixels so that they look as an orientation-aware viewer shows them.
vips::VImage upright(vips::VImage image);

// 8-bit sRGB (or 8-bit grey), alpha kept. Pictures with a colour profile are converted from
// it (and then carry the sRGB profile); CMYK without a profile uses a generic CMYK profile.
vips::VImage toDisplay(vips::VImage image);

// Composes the picture on white and drops the alpha band.
vips::VImage flattenOnWhite(vips::VImage image);

// Removes an alpha band that is opaque everywhere (decodes the picture once to find out).
vips::VImage withoutOpaqueAlpha(vips::VImage image);

// Scales to exactly width x height with Lanczos-3 (alpha premultiplied while scaling).
// A picture of several frames (page-height set) is scaled frame by frame.
vips::VImage scaleTo(vips::VImage image, int width, int height);

int pageHeight(const vips::VImage& image);  // one frame's height
int pageCount(const vips::VImage& image);

}  // namespace quarbel::imageservice::pixels
