#pragma once
// TIFF output from a libvips picture, through our strip writer on libtiff (codecs/tiff): the rows
// are pulled from the libvips pipeline a strip at a time, so the picture is never held
// whole. Frames stacked with page-height become pages, one directory each.

#include "codecs/Cancel.h"

#include <vips/vips8>

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

// The picture: 8-bit grey, grey+alpha, RGB or RGBA, frames stacked with page-height.
// Throws vips_util::Failure or vips::VError with the reason, codecs::Cancelled once cancel
// is cancelled.
std::vector<std::uint8_t> encodeTiff(vips::VImage image, const codecs::CancelToken* cancel = nullptr);

// The same with a smaller size than classic TIFF's 4 GiB above which the file is written as
// BigTIFF (for tests).
std::vector<std::uint8_t> encodeTiff(vips::VImage image, std::uint64_t classicLimit,
                                     const codecs::CancelToken* cancel = nullptr);

}  // namespace quarbel::imageservice
