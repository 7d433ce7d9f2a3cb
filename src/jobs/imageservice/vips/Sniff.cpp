#include "jobs/imageservice/vips/Sniff.h"

#include "jobs/imageservice/ImageService.h"

#include <cstring>

namespace quarbel::imageservice {

namespace {

bool startsWith(const std::uint8_t* data, std::size_t size, const char* magic, std::size_t length)
{
    return size >= length && std::memcmp(data, magic, length) == 0;
}

bool plausibleBmp(const std::uint8_t* data, std::size_t size)
{
    if (!startsWith(data, size, "BM", 2) || size < 18)
        return false;
    const std::uint32_t infoSize = data[14] | data[15] << 8 | data[16] << 16 | std::uint32_t(data[17]) << 24;
    switch (infoSize) {
    case 12: case 16: case 40: case 52: case 56: case 64: case 108: case 124:
        return true;
    default:
        return false;
    }
}

}  // namespace

Format sniffFormat(const std::uint8_t* data, std::size_t size)
{
    if (startsWith(data, size, "\xFF\xD8\xFF", 3))
        return Format::Jpeg;
    if (startsWith(data, size, "\x89PNG\r\n\x1A\n", 8))
        return Format::Png;
    if (startsWith(data, size, "GIF87a", 6) || startsWith(data, size, "GIF89a", 6))
        return Format::Gif;
    if (startsWith(data, size, "II*\0", 4) || startsWith(data, size, "MM\0*", 4) ||
        startsWith(data, size, "II+\0", 4) || startsWith(data, size, "MM\0+", 4))
        return Format::Tiff;
    if (plausibleBmp(data, size))
        return Format::Bmp;
    return Format::Unknown;
}

const char* formatIdOf(Format format)
{
    switch (format) {
    case Format::Jpeg: return FormatID::JPEG;
    case Format::Png: return FormatID::PNG;
    case Format::Gif: return FormatID::GIF;
    case Format::Bmp: return FormatID::BMP;
    case Format::Tiff: return FormatID::TIFF;
    case Format::Unknown: break;
    }
    return "";
}

Format formatOfId(const std::string& id)
{
    for (Format f : {Format::Jpeg, Format::Png, Format::Gif, Format::Bmp, Format::Tiff})
        if (id == formatIdOf(f))
            return f;
    return Format::Unknown;
}

const char* formatName(Format format)
{
    switch (format) {
    case Format::Jpeg: return "JPEG";
    case Format::Png: return "PNG";
    case Format::Gif: return "GIF";
    case Format::Bmp: return "BMP";
    case Format::Tiff: return "TIFF";
    case Format::Unknown: break;
    }
    return "unknown";
}

}  // namespace quarbel::imageservice
