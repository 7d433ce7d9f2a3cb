#pragma once
// The EXIF block (a small TIFF structure: IFD0 with the camera and the date, its Exif
// sub-directory with the exposure and the date taken, its GPS sub-directory) read into
// entries, changed where the written picture differs from the source, and written again.
// Writers that store the entries themselves (TIFF) take them from here; writers that store
// the block (PNG) take encode()'s bytes.

#include "codecs/ByteOrder.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace quarbel::codecs::exif {

// One field, its value in little-endian byte order whatever the block's own order was.
struct Entry {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;  // TIFF field type (1 BYTE ... 12 DOUBLE)
    std::uint32_t count = 0;
    Bytes value;
};

struct Block {
    std::vector<Entry> ifd0;  // without the sub-directory pointers
    std::vector<Entry> exif;  // without the interoperability pointer
    std::vector<Entry> gps;
};

inline constexpr std::uint16_t kOrientation = 0x0112;
inline constexpr std::uint16_t kExifIfd = 0x8769;
inline constexpr std::uint16_t kGpsIfd = 0x8825;

// Reads a block, with or without the "Exif\0\0" in front that JPEG and WebP files put
// before it. Nothing when it is not a readable block: a damaged block is left out of the
// output rather than copied. The thumbnail (IFD1) is not kept: it shows the source.
std::optional<Block> parse(const std::uint8_t* data, std::size_t size);

// Says what the written picture is: its orientation tag (1 once the pixels are turned) and
// its size, where the block gives one.
void describe(Block& block, int orientation, std::uint32_t width, std::uint32_t height);

// A little-endian block without the "Exif\0\0" prefix, as PNG's eXIf chunk holds it.
Bytes encode(const Block& block);

// The IPTC records (IIM) of a Photoshop image-resource block ("Photoshop 3.0", 8BIM
// resource 0x0404), as JPEG files carry them; a block that is already records is returned
// as it is. Empty when there are none.
Bytes iptcRecords(const std::uint8_t* data, std::size_t size);

// XMP with its tiff:Orientation (attribute or element) set to `orientation`.
Bytes xmpWithOrientation(const std::uint8_t* data, std::size_t size, int orientation);

}  // namespace quarbel::codecs::exif
