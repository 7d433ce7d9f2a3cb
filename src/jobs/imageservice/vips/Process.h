#pragma once
// One picture through the libvips pipeline: decoded (shrunk on load where JPEG allows),
// turned upright, scaled, made 8-bit sRGB or grey, and encoded into a complete file in memory.

#include "codecs/Cancel.h"
#include "jobs/imageservice/vips/Decode.h"
#include "jobs/imageservice/vips/Metadata.h"

#include <span>
#include <vector>

namespace quarbel::imageservice {

struct ProcessRequest {
    Format target = Format::Unknown;  // Unknown: keep the source's format
    int jpegQuality = 90;             // also WebP's, AVIF's and HEIC's
    Metadata metadata = Metadata::Keep;
    bool scale = false;
    long long width = 0, height = 0;              // the output's size when scaling
    const codecs::CancelToken* cancel = nullptr;  // stops the work part-way
};

struct Processed {
    std::vector<std::uint8_t> data;  // the encoded file
    SourceInfo info;                 // what its header says
};

// Throws vips_util::Failure or vips::VError with the reason (std::bad_alloc when memory runs
// out), codecs::Cancelled once request.cancel is cancelled; the bytes are the source file's.
Processed process(std::span<const std::uint8_t> bytes, const SourceInfo& info, const ProcessRequest& request);

}  // namespace quarbel::imageservice
