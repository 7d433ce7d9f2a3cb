#pragma once
// PNG output from a libvips picture. Pictures up to a few tens of megapixels go through our
// own writer (codecs/png); larger ones stream through libvips' own PNG writer instead, which
// never holds the whole picture.

#include "codecs/Cancel.h"

#include <vips/vips8>

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

// The picture: 8-bit, 1 to 4 bands (grey, grey+alpha, RGB, RGBA). Throws codecs::Cancelled
// or vips::VError once cancel is cancelled.
std::vector<std::uint8_t> encodePng(vips::VImage image, const codecs::CancelToken* cancel = nullptr);

}  // namespace quarbel::imageservice
