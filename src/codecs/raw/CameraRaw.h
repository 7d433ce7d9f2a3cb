#pragma once
// Camera raw files (DNG and the makers' own: CR2, CR3, NEF, ARW, RAF, ORF, RW2, PEF, SRW)
// developed through LibRaw: the camera's white balance, AHD demosaicing, sRGB at 8 bits,
// the camera's orientation applied. LibRaw is a large parser of hostile bytes, so nothing
// here runs unless the caller says it is a confined worker process (Trust::Confined); every
// call refuses otherwise, before LibRaw sees a byte.
//
// Everything throws codecs::Failure with a reason for people ("the camera raw file is
// truncated or damaged (...)"), std::bad_alloc when memory runs out; no LibRaw error and no
// exception of LibRaw's gets out any other way.

#include "codecs/Metadata.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace quarbel::codecs::raw {

// The file name extensions of the camera raw files we read (lower case, without the dot).
inline constexpr std::array<std::string_view, 10> kExtensions = {"dng", "cr2", "cr3", "nef", "arw",
                                                                 "raf", "orf", "rw2", "pef", "srw"};

// True when the bytes begin like a camera raw file: a TIFF whose directories carry a
// DNGVersion or a colour-filter-array or linear-raw picture, a Canon CR2 or CR3, a Fujifilm
// RAF, an Olympus ORF or a Panasonic RW2. Ordinary TIFF files give false. Reads only the
// file's structure and never beyond the span.
bool looksLikeCameraRaw(std::span<const std::uint8_t> bytes);

// Whether the calling process may run LibRaw at all.
enum class Trust { InProcess, Confined };

struct Limits {
    Trust trust = Trust::InProcess;
    std::uint64_t maxPixels = 0;  // the largest raw or developed picture accepted
    int threads = 0;              // for the passes over the whole picture; 0: one a core
};

struct Header {
    int width = 0, height = 0;  // of the developed picture, as stored (before orientation)
    int orientation = 1;        // EXIF orientation 1..8 the camera recorded
    bool turned() const { return orientation >= 5; }
};

// Reads the file's structure only (nothing is unpacked): what the developed picture will be.
// Fails when the raw data or the developed picture has more than limits.maxPixels pixels.
Header readHeader(std::span<const std::uint8_t> bytes, const Limits& limits);

enum class Size { Full, Half };

// 8-bit sRGB pixels (or grey for a monochrome camera), rows without padding, as the sensor
// saw them: orientation says how to turn them upright. The pixels live in LibRaw's own
// buffer, held by owner.
struct Picture {
    int width = 0, height = 0, bands = 3;
    int orientation = 1;
    const std::uint8_t* pixels = nullptr;
    std::shared_ptr<void> owner;
    codecs::Metadata metadata;  // the camera's EXIF, describing the upright picture
};

// Develops the raw data. Half: a quarter of the pixels at half the work (each 2 x 2 cell of
// the colour filter array becomes one pixel), for previews.
Picture develop(std::span<const std::uint8_t> bytes, const Limits& limits, Size size = Size::Full);

// The preview the camera embedded in the file, as it was stored: a JPEG file, or 8-bit RGB
// pixels (width x height x 3). Empty (no jpeg, no rgb) when the file has none LibRaw can
// give. orientation says how to turn it; fullWidth x fullHeight is the developed picture's
// size, upright.
struct EmbeddedPreview {
    std::vector<std::uint8_t> jpeg;
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    int orientation = 1;
    int fullWidth = 0, fullHeight = 0;
};
EmbeddedPreview embeddedPreview(std::span<const std::uint8_t> bytes, const Limits& limits);

}  // namespace quarbel::codecs::raw
