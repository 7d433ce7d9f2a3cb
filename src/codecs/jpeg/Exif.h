#pragma once
// The two EXIF fields the JPEG transcoder reads or changes, found by walking the TIFF
// structure of an APP1 "Exif" segment's payload (the bytes after the marker's length).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarbel::codecs::jpeg {

// True for an APP1 payload that holds EXIF ("Exif\0\0" and a TIFF header).
bool isExif(const std::uint8_t* payload, std::size_t size);

// The orientation (1..8) in IFD0; 1 when absent, out of range or unreadable.
int exifOrientation(const std::uint8_t* payload, std::size_t size);

// Sets PixelXDimension and PixelYDimension of the EXIF sub-IFD where they exist, in place
// and in their own type (a value too large for a SHORT field leaves that field unchanged).
void setExifDimensions(std::vector<std::uint8_t>& payload, std::uint32_t width, std::uint32_t height);

}  // namespace quarbel::codecs::jpeg
