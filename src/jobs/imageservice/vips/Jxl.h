#pragma once
// JPEG XL output through our writer on libjxl (codecs/jxl).

#include "codecs/Cancel.h"

#include <vips/vips8>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quarbel::imageservice {

// The picture (8-bit grey or sRGB, alpha allowed, one frame) as a JPEG XL file with its
// profile, EXIF and XMP.
std::vector<std::uint8_t> encodeJxl(vips::VImage image, int quality, const codecs::CancelToken* cancel);

// A JPEG file stored losslessly, or nothing when libjxl cannot take it.
std::optional<std::vector<std::uint8_t>> recompressJpegAsJxl(std::span<const std::uint8_t> jpeg);

}  // namespace quarbel::imageservice
