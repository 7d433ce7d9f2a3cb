#pragma once
// TIFF output, losslessly compressed; frames stacked with page-height become pages.

#include <vips/vips8>

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

// The picture: 8-bit sRGB or grey, alpha allowed, frames stacked with page-height.
// Throws vips_util::Failure or vips::VError with the reason.
std::vector<std::uint8_t> encodeTiff(vips::VImage image);

}  // namespace quarbel::imageservice
