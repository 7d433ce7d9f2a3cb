#pragma once
// AVIF output from a libvips picture through our own writer (codecs/avif): the pixels are
// made once in memory, turned into YUV and let go before aom starts.

#include "codecs/Cancel.h"

#include <vips/vips8>

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

// The picture: one frame, 8-bit sRGB or grey, alpha allowed, with the metadata fields it
// should carry (withMetadata). Throws codecs::Failure with the reason, codecs::Cancelled or
// a vips::VError once cancel is cancelled.
std::vector<std::uint8_t> encodeAvif(vips::VImage image, int quality,
                                     const codecs::CancelToken* cancel = nullptr);

}  // namespace quarbel::imageservice
