#pragma once
// Encoding a picture (8-bit sRGB or grey, alpha allowed, frames stacked with page-height)
// into a complete file in memory.

#include "codecs/Cancel.h"
#include "jobs/imageservice/vips/Sniff.h"

#include <vips/vips8>

#include <vector>

namespace quarbel::imageservice {

struct EncodeOptions {
    int jpegQuality = 90;                         // also WebP's, AVIF's and HEIC's
    const codecs::CancelToken* cancel = nullptr;  // stops the encoder part-way
};

// Throws vips_util::Failure or vips::VError with the reason, codecs::Cancelled (or a
// vips::VError) once options.cancel is cancelled.
std::vector<std::uint8_t> encodePicture(vips::VImage image, Format format, const EncodeOptions& options);

// Fails with the reason when the format is only read (SVG, PDF) or unknown.
void checkWritable(Format format);

// The largest width or height a file of that format can hold.
int maxSideOf(Format format);

}  // namespace quarbel::imageservice
