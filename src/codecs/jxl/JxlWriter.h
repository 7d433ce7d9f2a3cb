#pragma once
// JPEG XL files written with libjxl. libvips' own saver (8.14) drops the EXIF and XMP data
// and cannot recompress a JPEG file; libjxl's encoder does both: metadata go into the
// container's "Exif" and "xml " boxes, and a JPEG file can be stored losslessly (its
// coefficients, about a fifth smaller, and the original file can be rebuilt bit for bit).
//
// Quality maps onto libjxl's distance as cjxl maps its -q (75 is distance 2.35, 90 is 1),
// and 100 is lossless, as in cjxl.

#include "codecs/Cancel.h"
#include "codecs/Metadata.h"
#include "codecs/PixelView.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace quarbel::codecs::jxl {

using Bytes = std::vector<std::uint8_t>;

struct Options {
    int quality = 75;   // 1..100, as for JPEG; 100 is lossless
    Bytes profile;      // ICC; sRGB when empty
    Metadata metadata;  // EXIF and XMP; JPEG XL has no place for IPTC
    int threads = 1;    // libjxl's worker threads
    const CancelToken* cancel = nullptr;
};

// libjxl's distance for a quality (0 for lossless).
float distanceOf(int quality);

// Throws codecs::Failure with the reason.
Bytes encode(const PixelView& pixels, const Options& options);

// The JPEG file stored losslessly with its EXIF and XMP, or nothing when libjxl cannot take
// it (progressive files with unusual scans, CMYK, ...): the caller then encodes pixels.
std::optional<Bytes> recompressJpeg(const std::uint8_t* jpeg, std::size_t size, int threads);

}  // namespace quarbel::codecs::jxl
