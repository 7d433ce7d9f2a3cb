#pragma once
// Decoding a file held in memory with the one decoder its format calls for.

#include "jobs/imageservice/vips/Sniff.h"

#include <vips/vips8>

namespace quarbel::imageservice {

struct SourceInfo {
    Format format = Format::Unknown;
    int width = 0, height = 0;  // of one frame, as stored (before the orientation is applied)
    int frames = 1;
    int orientation = 1;                              // EXIF orientation 1..8
    bool turned() const { return orientation >= 5; }  // width and height swap when shown
    int shownWidth() const { return turned() ? height : width; }
    int shownHeight() const { return turned() ? width : height; }
};

// Reads the header only. Throws vips_util::Failure or vips::VError with the reason; fails
// when one frame alone is larger than maxPixels().
SourceInfo readHeader(const std::uint8_t* data, std::size_t size, Format format);

struct LoadRequest {
    bool allFrames = false;     // all frames stacked top to bottom (page-height set), else the first
    int jpegShrink = 1;         // 1, 2, 4 or 8: JPEG's own cheap downscale while decoding
    bool randomAccess = false;  // needed when the picture is turned while decoding
    double drawScale = 1.0;     // SVG and PDF: drawn at this scale of their own size
};

// Opens the picture for decoding (libvips decodes lazily, while the result is written).
// The bytes must stay alive while the image is used.
vips::VImage openPicture(const std::uint8_t* data, std::size_t size, const SourceInfo& info,
                         const LoadRequest& request);

}  // namespace quarbel::imageservice
