#include "jobs/imageservice/vips/Sniff.h"

#include "codecs/raw/CameraRaw.h"
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
    case 12:
    case 16:
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124: return true;
    default: return false;
    }
}

std::uint32_t load32be(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

Format brandFormat(const std::uint8_t* brand)
{
    for (const char* avif : {"avif", "avis"})
        if (std::memcmp(brand, avif, 4) == 0)
            return Format::Avif;
    for (const char* heic : {"heic", "heix", "heim", "heis", "hevc", "hevx"})
        if (std::memcmp(brand, heic, 4) == 0)
            return Format::Heif;
    return Format::Unknown;
}

}  // namespace

Format heifBrandOf(const std::uint8_t* data, std::size_t size)
{
    if (size < 16 || std::memcmp(data + 4, "ftyp", 4) != 0)
        return Format::Unknown;
    const std::uint32_t boxSize = load32be(data);
    if (boxSize < 16 || boxSize > size || boxSize % 4 != 0)
        return Format::Unknown;
    // The major brand decides; a generic one ("mif1", "msf1") lets the compatible brands,
    // which follow the minor version, tell.
    if (const Format major = brandFormat(data + 8); major != Format::Unknown)
        return major;
    for (std::size_t at = 16; at + 4 <= boxSize; at += 4)
        if (const Format compatible = brandFormat(data + at); compatible != Format::Unknown)
            return compatible;
    return Format::Unknown;
}

Format sniffFormat(const std::uint8_t* data, std::size_t size)
{
    if (startsWith(data, size, "\xFF\xD8\xFF", 3))
        return Format::Jpeg;
    if (startsWith(data, size, "\x89PNG\r\n\x1A\n", 8))
        return Format::Png;
    if (startsWith(data, size, "GIF87a", 6) || startsWith(data, size, "GIF89a", 6))
        return Format::Gif;
    // Before TIFF (most camera raw files are TIFF files too), after the formats whose first
    // bytes alone decide (a CR3 is told by bytes 4 to 11, which a JPEG may hold as well).
    if (codecs::raw::looksLikeCameraRaw({data, size}))
        return Format::CameraRaw;
    if (startsWith(data, size, "II*\0", 4) || startsWith(data, size, "MM\0*", 4) ||
        startsWith(data, size, "II+\0", 4) || startsWith(data, size, "MM\0+", 4))
        return Format::Tiff;
    if (plausibleBmp(data, size))
        return Format::Bmp;
    if (size >= 12 && startsWith(data, size, "RIFF", 4) && std::memcmp(data + 8, "WEBP", 4) == 0)
        return Format::Webp;
    return heifBrandOf(data, size);
}

const char* formatIdOf(Format format)
{
    switch (format) {
    case Format::Jpeg: return FormatID::JPEG;
    case Format::Png: return FormatID::PNG;
    case Format::Gif: return FormatID::GIF;
    case Format::Bmp: return FormatID::BMP;
    case Format::Tiff: return FormatID::TIFF;
    case Format::Webp: return FormatID::WEBP;
    case Format::Heif: return FormatID::HEIF;
    case Format::Avif: return FormatID::AVIF;
    case Format::CameraRaw:
    case Format::Unknown: break;
    }
    return "";
}

Format formatOfId(const std::string& id)
{
    for (Format f : {Format::Jpeg, Format::Png, Format::Gif, Format::Bmp, Format::Tiff, Format::Webp,
                     Format::Heif, Format::Avif})
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
    case Format::Webp: return "WebP";
    case Format::Heif: return "HEIC";
    case Format::Avif: return "AVIF";
    case Format::CameraRaw: return "camera raw";
    case Format::Unknown: break;
    }
    return "unknown";
}

}  // namespace quarbel::imageservice
