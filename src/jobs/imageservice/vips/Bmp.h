#pragma once
// BMP files with libvips pictures: libvips has neither a BMP loader nor a BMP saver, so both
// go through our own (codecs/bmp).

#include "codecs/Cancel.h"

#include <vips/vips8>

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

// Decodes the whole picture into 8-bit sRGB, with an alpha band when the file has one.
// Throws vips_util::Failure with the reason.
vips::VImage decodeBmp(const std::uint8_t* data, std::size_t size);

// Encodes an 8-bit picture of 1 or 3 bands as a 24-bit BMP file; throws codecs::Cancelled
// once cancel is cancelled.
std::vector<std::uint8_t> encodeBmp(vips::VImage image, const codecs::CancelToken* cancel = nullptr);

}  // namespace quarbel::imageservice
