#pragma once
// The filters' identifiers and the checking of their parameters.

#include "jobs/imageservice/ImageService.h"
#include "jobs/imageservice/vips/Metadata.h"
#include "jobs/imageservice/vips/Sniff.h"

namespace quarbel::imageservice {

inline constexpr const char* kConvertFilterId = "{A5E3D62F-6B0C-4E1F-9A7D-51C3C0A1F001}";
inline constexpr const char* kScaleFilterId = "{A5E3D62F-6B0C-4E1F-9A7D-51C3C0A1F002}";

inline constexpr int kDefaultJpegQuality = 90;

// What a chain of filters asks for, all parameters checked.
struct Plan {
    Format target = Format::Unknown;  // Unknown: keep the source's format
    int jpegQuality = kDefaultJpegQuality;
    bool scale = false;
    long long width = 0, height = 0;     // 0: taken from the source (in its proportions)
    bool preserveAspectRatio = true;     // fit inside width x height instead of filling it
    Metadata metadata = Metadata::Keep;  // KeepMetadata, on either filter
};

Result makePlan(const FilterList& filters, Plan& plan);

// The output size of a scale to width x height (0 = from the source) of a picture shown at
// sourceWidth x sourceHeight. Each side is at least 1.
struct Size {
    long long width = 0, height = 0;
};
Size scaledSize(const Plan& plan, int sourceWidth, int sourceHeight);

}  // namespace quarbel::imageservice
