#pragma once
// GIF output from a libvips picture, through our own writer (codecs/gif): frames stacked with
// page-height stay an animation with their display times and loop count.

#include "codecs/Cancel.h"

#include <vips/vips8>

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

// The picture: 8-bit grey or sRGB, alpha allowed, frames stacked with page-height.
// Throws vips_util::Failure or vips::VError with the reason (std::bad_alloc when memory runs
// out), codecs::Cancelled once cancel is cancelled.
std::vector<std::uint8_t> encodeGif(vips::VImage image, const codecs::CancelToken* cancel = nullptr);

}  // namespace quarbel::imageservice
