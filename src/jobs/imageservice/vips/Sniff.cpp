#include "jobs/imageservice/vips/Sniff.h"

#include "codecs/raw/CameraRaw.h"
#include "jobs/imageservice/ImageService.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>

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
    for (const formats::Row& row : formats::table()) {
        // Camera raw before TIFF (most camera raw files are TIFF files too), after the
        // formats whose first bytes alone decide (a CR3 is told by bytes 4 to 11, which a
        // JPEG may hold as well).
        if (row.format == Format::Tiff && codecs::raw::looksLikeCameraRaw({data, size}))
            return Format::CameraRaw;
        for (const formats::Signature& signature : row.signatures) {
            const std::string_view second = signature.second;
            if (startsWith(data, size, signature.first.data(), signature.first.size()) &&
                (second.empty() ||
                 (size >= signature.secondAt + second.size() &&
                  std::memcmp(data + signature.secondAt, second.data(), second.size()) == 0)))
                return row.format;
        }
    }
    if (plausibleBmp(data, size))
        return Format::Bmp;
    if (const Format brand = heifBrandOf(data, size); brand != Format::Unknown)
        return brand;
    return looksLikeSvg(data, size) ? Format::Svg : Format::Unknown;
}

namespace {

constexpr std::size_t kSvgLooked = 4096;

// The first kilobytes of a file compressed with gzip (an .svgz), or nothing when they cannot
// be inflated.
std::string inflatedStart(const std::uint8_t* data, std::size_t size)
{
    std::string text(kSvgLooked, '\0');
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
        return {};
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = uInt(std::min<std::size_t>(size, UINT_MAX));
    z.next_out = reinterpret_cast<Bytef*>(text.data());
    z.avail_out = uInt(text.size());
    const int status = inflate(&z, Z_SYNC_FLUSH);
    text.resize(text.size() - z.avail_out);
    inflateEnd(&z);
    return status == Z_OK || status == Z_STREAM_END || status == Z_BUF_ERROR ? text : std::string();
}

}  // namespace

bool looksLikeSvg(const std::uint8_t* data, std::size_t size)
{
    if (size >= 3 && data[0] == 0x1F && data[1] == 0x8B && data[2] == 8) {
        const std::string inflated = inflatedStart(data, size);
        return !inflated.empty() && inflated[0] != 0x1F &&
               looksLikeSvg(reinterpret_cast<const std::uint8_t*>(inflated.data()), inflated.size());
    }
    // Only the first few kilobytes are looked at: a file that is an SVG says so early.
    std::string_view text(reinterpret_cast<const char*>(data), std::min(size, kSvgLooked));
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    for (;;) {
        const std::size_t start = text.find_first_not_of(" \t\r\n");
        if (start == std::string_view::npos)
            return false;
        text.remove_prefix(start);
        if (text.starts_with("<svg"))
            return text.size() > 4 && std::strchr(" \t\r\n>/", text[4]) != nullptr;
        // Declarations, processing instructions and comments before the root element.
        const char* end = text.starts_with("<!--") ? "-->"
                          : text.starts_with("<?") ? "?>"
                          : text.starts_with("<!") ? ">"
                                                   : nullptr;
        if (!end)
            return false;
        const std::size_t close = text.find(end);
        if (close == std::string_view::npos)
            return false;
        text.remove_prefix(close + std::strlen(end));
    }
}

const char* formatIdOf(Format format)
{
    const formats::Row* row = formats::rowOf(format);
    return row ? row->formatId : "";
}

Format formatOfId(const std::string& id)
{
    const formats::Row* row = formats::rowOfFormatId(id);
    return row ? row->format : Format::Unknown;
}

const char* formatName(Format format)
{
    const formats::Row* row = formats::rowOf(format);
    return row ? row->name : "unknown";
}

}  // namespace quarbel::imageservice
