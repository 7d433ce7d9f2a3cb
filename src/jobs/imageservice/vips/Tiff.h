#pragma once
// TIFF output from a libvips picture, through our own strip writer (codecs/tiff): the rows
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

// The same with a smaller ceiling than the format's 4 GiB on the file's size (for tests).
std::vector<std::uint8_t> encodeTiff(vips::VImage image, std::uint64_t maxFileSize,
                                     const codecs::CancelToken* cancel = nullptr);

}  // namespace quarbel::imageservice
