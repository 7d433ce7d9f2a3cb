#pragma once
// The convert job's target formats: the format list's texts with their output extensions
// and format identifiers, in the order they are tested.

#include <QString>
#include <array>

namespace quarbel::jobs {

struct TargetFormat {
    const char* text;       // the format list's text, compared exactly
    const char* extension;  // written after the source's base name
    const char* formatId;   // the Image Service's FormatID value
    bool takesQuality;      // the quality list's text is passed on (the lossy formats)
};

extern const std::array<TargetFormat, 7> kTargetFormats;  // JPG, PNG, BMP, GIF, TIFF, WEBP, AVIF

// The row whose text equals formatText exactly (case included), or null.
const TargetFormat* findTargetFormat(const QString& formatText);

}  // namespace quarbel::jobs
