#pragma once
// Recognising an image file's format from its first bytes (never from its name).

#include <cstddef>
#include <cstdint>
#include <string>

namespace quarbel::imageservice {

enum class Format { Unknown, Jpeg, Png, Gif, Bmp, Tiff };

Format sniffFormat(const std::uint8_t* data, std::size_t size);

const char* formatIdOf(Format format);       // FormatID::* text, "" for Unknown
Format formatOfId(const std::string& id);    // Unknown for any other text
const char* formatName(Format format);       // "JPEG", "PNG", ...

}  // namespace quarbel::imageservice
