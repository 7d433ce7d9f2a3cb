#pragma once
// Recognising an image file's format from its first bytes (never from its name).

#include <cstddef>
#include <cstdint>
#include <string>

namespace quarbel::imageservice {

// Heif: a HEIF file of HEVC pictures (HEIC); Avif: one of AV1 pictures. Both are read by
// the same loader; they differ in how they are written. CameraRaw: DNG and the makers' raw
// files (codecs/raw), read only, developed only in worker processes; it has no FormatID.
enum class Format { Unknown, Jpeg, Png, Gif, Bmp, Tiff, Webp, Heif, Avif, CameraRaw };

Format sniffFormat(const std::uint8_t* data, std::size_t size);

const char* formatIdOf(Format format);     // FormatID::* text, "" for Unknown
Format formatOfId(const std::string& id);  // Unknown for any other text
const char* formatName(Format format);     // "JPEG", "PNG", ...

// Which of Heif and Avif an ISO base media file (an "ftyp" box first) is, from its major and
// compatible brands; Unknown when it names neither.
Format heifBrandOf(const std::uint8_t* data, std::size_t size);

}  // namespace quarbel::imageservice
