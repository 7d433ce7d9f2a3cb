#pragma once
// GIF output: a palette of at most 256 colours with dithering; frames stacked with
// page-height stay an animation.

#include <vips/vips8>

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

// The picture: 8-bit sRGB or grey, alpha allowed, frames stacked with page-height.
// Throws vips_util::Failure or vips::VError with the reason.
std::vector<std::uint8_t> encodeGif(vips::VImage image);

}  // namespace quarbel::imageservice
