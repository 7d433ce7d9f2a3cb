#include "formats/Formats.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <initializer_list>
#include <vector>

namespace quarbel::formats {

namespace {

using namespace std::literals;

constexpr const char* kNone[] = {nullptr};
constexpr std::span<const char* const> none{kNone, 0};

constexpr const char* kJpegEndings[] = {"jpg", "JPG"};
constexpr const char* kJpegPatterns[] = {"*.jpg", "*.jpeg", "*.jpe"};
constexpr Signature kJpegMagic[] = {{"\xFF\xD8\xFF"sv}};

constexpr const char* kPngEndings[] = {"png", "PNG"};
constexpr const char* kPngPatterns[] = {"*.png"};
constexpr Signature kPngMagic[] = {{"\x89PNG\r\n\x1A\n"sv}};

constexpr const char* kGifEndings[] = {"gif", "GIF"};
constexpr const char* kGifPatterns[] = {"*.gif"};
constexpr Signature kGifMagic[] = {{"GIF87a"sv}, {"GIF89a"sv}};

constexpr const char* kBmpEndings[] = {"bmp", "BMP"};
constexpr const char* kBmpPatterns[] = {"*.bmp"};

constexpr const char* kTiffEndings[] = {"tif", "TIF"};
constexpr const char* kTiffPatterns[] = {"*.tif", "*.tiff"};
constexpr Signature kTiffMagic[] = {{"II*\0"sv}, {"MM\0*"sv}, {"II+\0"sv}, {"MM\0+"sv}};

constexpr const char* kWebpSuffixes[] = {".webp"};
constexpr const char* kWebpPatterns[] = {"*.webp"};
constexpr Signature kWebpMagic[] = {{"RIFF"sv, 8, "WEBP"sv}};

constexpr const char* kAvifSuffixes[] = {".avif"};
constexpr const char* kAvifPatterns[] = {"*.avif"};

constexpr const char* kHeifSuffixes[] = {".heic", ".heif"};
constexpr const char* kHeifPatterns[] = {"*.heic", "*.heif"};

constexpr const char* kJxlSuffixes[] = {".jxl"};
constexpr const char* kJxlPatterns[] = {"*.jxl"};
// A bare codestream, or the ISO container's signature box.
constexpr Signature kJxlMagic[] = {{"\xFF\x0A"sv}, {"\0\0\0\x0CJXL \r\n\x87\n"sv}};

constexpr const char* kSvgSuffixes[] = {".svg", ".svgz"};
constexpr const char* kSvgPatterns[] = {"*.svg", "*.svgz"};

constexpr const char* kPdfSuffixes[] = {".pdf"};
constexpr const char* kPdfPatterns[] = {"*.pdf"};
constexpr Signature kPdfMagic[] = {{"%PDF-"sv}};

// Camera raw: DNG and the makers' raw files, read through LibRaw (codecs/raw).
constexpr const char* kRawSuffixes[] = {".dng", ".cr2", ".cr3", ".nef", ".arw",
                                        ".raf", ".orf", ".rw2", ".pef", ".srw"};
constexpr const char* kRawPatterns[] = {"*.dng", "*.cr2", "*.cr3", "*.nef", "*.arw",
                                        "*.raf", "*.orf", "*.rw2", "*.pef", "*.srw"};

// The sides below are what each format's files (or our writer of it) can hold; JPEG XL's is
// libjxl's limit for the codestream level it writes by default (5).
const Row kRows[] = {
    {Format::Jpeg, "JPEG", "JPG", ".jpg", "{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}", kJpegEndings, none,
     kJpegPatterns, kJpegMagic, Decoder::VipsJpeg, Encoder::Jpeg, Trust::Anywhere, Quality::Taken,
     Frames::FirstOnly, 65500},
    {Format::Png, "PNG", "PNG", ".png", "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}", kPngEndings, none,
     kPngPatterns, kPngMagic, Decoder::VipsPng, Encoder::OwnPng, Trust::Anywhere, Quality::None,
     Frames::FirstOnly, 0x7FFFFFFF},
    {Format::Gif, "GIF", "GIF", ".gif", "{B96B3CB0-0728-11D3-9D7B-0000F81EF32E}", kGifEndings, none,
     kGifPatterns, kGifMagic, Decoder::VipsGif, Encoder::OwnGif, Trust::Anywhere, Quality::None, Frames::All,
     65535},
    {Format::Bmp,
     "BMP",
     "BMP",
     ".bmp",
     "{B96B3CAB-0728-11D3-9D7B-0000F81EF32E}",
     kBmpEndings,
     none,
     kBmpPatterns,
     {},
     Decoder::OwnBmp,
     Encoder::OwnBmp,
     Trust::Anywhere,
     Quality::None,
     Frames::FirstOnly,
     0x7FFFFFFF},
    {Format::Tiff, "TIFF", "TIFF", ".tiff", "{B96B3CB1-0728-11D3-9D7B-0000F81EF32E}", kTiffEndings, none,
     kTiffPatterns, kTiffMagic, Decoder::VipsTiff, Encoder::OwnTiff, Trust::Anywhere, Quality::None,
     Frames::All, 0x7FFFFFFF},
    // The platform's container identifiers for WebP and HEIF; it names none for AVIF and
    // JPEG XL, which have ones of our own.
    {Format::Webp, "WebP", "WEBP", ".webp", "{E094B0E2-67F2-45B3-B0EA-115337CA7CF3}", none, kWebpSuffixes,
     kWebpPatterns, kWebpMagic, Decoder::VipsWebp, Encoder::OwnWebp, Trust::Anywhere, Quality::Taken,
     Frames::All, 16383},
    {Format::Avif,
     "AVIF",
     "AVIF",
     ".avif",
     "{A5E3D62F-6B0C-4E1F-9A7D-51C3C0A1F101}",
     none,
     kAvifSuffixes,
     kAvifPatterns,
     {},
     Decoder::VipsHeif,
     Encoder::OwnAvif,
     Trust::Anywhere,
     Quality::Taken,
     Frames::FirstOnly,
     65536},
    // Written only by Resize, which keeps a picture's format.
    {Format::Heif,
     "HEIC",
     "",
     "",
     "{E1E62521-6787-405B-A339-500715B5763F}",
     none,
     kHeifSuffixes,
     kHeifPatterns,
     {},
     Decoder::VipsHeif,
     Encoder::VipsHeif,
     Trust::Anywhere,
     Quality::Taken,
     Frames::FirstOnly,
     16384},
    {Format::Jxl, "JPEG XL", "JXL", ".jxl", "{7D4C1E55-3B5A-4F8E-9C21-6A0B2E9D4F17}", none, kJxlSuffixes,
     kJxlPatterns, kJxlMagic, Decoder::VipsJxl, Encoder::OwnJxl, Trust::ConfinedOnly, Quality::Taken,
     Frames::FirstOnly, 262144},
    // Only read: the first page of a PDF, an SVG at its own size.
    {Format::Svg,
     "SVG",
     "",
     "",
     "{3F0D8A4B-92C6-4E27-B8D1-5C7E0F6A2B93}",
     none,
     kSvgSuffixes,
     kSvgPatterns,
     {},
     Decoder::VipsSvg,
     Encoder::None,
     Trust::ConfinedOnly,
     Quality::None,
     Frames::FirstOnly,
     0},
    {Format::Pdf, "PDF", "", "", "{C2B7E914-5D3A-4B6F-A08E-71F4D9C3E265}", none, kPdfSuffixes, kPdfPatterns,
     kPdfMagic, Decoder::VipsPdf, Encoder::None, Trust::ConfinedOnly, Quality::None, Frames::FirstOnly, 0},
    // Only read, developed by LibRaw in a worker; the sides are LibRaw's own limit.
    {Format::CameraRaw,
     "Camera raw",
     "",
     "",
     "{9E4F2C71-0B8D-4A36-B5E2-3C6D7A1F8E04}",
     none,
     kRawSuffixes,
     kRawPatterns,
     {},
     Decoder::LibRaw,
     Encoder::None,
     Trust::ConfinedOnly,
     Quality::None,
     Frames::FirstOnly,
     65535},
};

// The open dialog's entries after "Image Files", in order: the formats that share one. The
// JPEG entry's patterns have always ended in a ';'.
struct DialogEntry {
    std::initializer_list<Format> formats;
    const char* patternsEnd;
};
const DialogEntry kDialogEntries[] = {
    {{Format::Jpeg}, ";"},     {{Format::Png}, ""},
    {{Format::Bmp}, ""},       {{Format::Gif}, ""},
    {{Format::Tiff}, ""},      {{Format::Webp, Format::Avif, Format::Heif}, ""},
    {{Format::Jxl}, ""},       {{Format::Svg, Format::Pdf}, ""},
    {{Format::CameraRaw}, ""},
};

std::string join(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string joined;
    for (const std::string& part : parts) {
        if (!joined.empty())
            joined += separator;
        joined += part;
    }
    return joined;
}

bool endsWithAnyCase(std::string_view name, std::string_view suffix)
{
    if (name.size() < suffix.size())
        return false;
    return std::equal(
        suffix.begin(), suffix.end(), name.end() - std::ptrdiff_t(suffix.size()),
        [](char a, char b) { return std::tolower((unsigned char)a) == std::tolower((unsigned char)b); });
}

std::vector<std::string> listTextsOf(bool onlyWithQuality)
{
    std::vector<std::string> texts;
    for (const Row& row : kRows)
        if (*row.listText && (!onlyWithQuality || row.quality == Quality::Taken))
            texts.emplace_back(row.listText);
    return texts;
}

}  // namespace

std::span<const Row> table() { return kRows; }

const Row* rowOf(Format format)
{
    for (const Row& row : kRows)
        if (row.format == format)
            return &row;
    return nullptr;
}

const Row* rowOfListText(std::string_view text)
{
    for (const Row& row : kRows)
        if (*row.listText && text == row.listText)
            return &row;
    return nullptr;
}

const Row* rowOfFormatId(std::string_view id)
{
    for (const Row& row : kRows)
        if (id == row.formatId)
            return &row;
    return nullptr;
}

bool acceptsName(std::string_view name)
{
    const std::string_view last = name.substr(name.size() - std::min<std::size_t>(3, name.size()));
    for (const Row& row : kRows) {
        for (const char* ending : row.threeLetterEndings)
            if (last == ending)
                return true;
        for (const char* suffix : row.suffixes)
            if (endsWithAnyCase(name, suffix))
                return true;
    }
    return false;
}

std::string openDialogFilter()
{
    // "Image Files" lists the patterns in the table's order, the entries in their own.
    std::vector<std::string> all, entries;
    for (const Row& row : kRows)
        all.insert(all.end(), row.dialogPatterns.begin(), row.dialogPatterns.end());
    for (const DialogEntry& entry : kDialogEntries) {
        std::vector<std::string> names, patterns;
        std::string label;
        for (Format format : entry.formats) {
            const Row* row = rowOf(format);
            names.emplace_back(row->name);
            for (const char* pattern : row->dialogPatterns) {
                patterns.emplace_back(pattern);
                label += "(" + std::string(pattern) + ")";
            }
        }
        entries.push_back(inProse(names, " and ") + " files " + label + "|" + join(patterns, ";") +
                          entry.patternsEnd);
    }
    return "Image Files|" + join(all, ";") + "|" + join(entries, "|");
}

std::string listTexts(std::string_view separator) { return join(listTextsOf(false), separator); }

std::string inProse(std::span<const std::string> words, std::string_view lastJoin)
{
    std::string prose;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            prose += i + 1 == words.size() ? std::string(lastJoin) : std::string(", ");
        prose += words[i];
    }
    return prose;
}

std::string listTextsInProse()
{
    const auto texts = listTextsOf(false);
    return inProse(texts);
}

std::string qualityTextsInProse()
{
    const auto texts = listTextsOf(true);
    return inProse(texts, " and ");
}

std::string threeLetterEndingsInProse()
{
    std::vector<std::string> endings;
    for (const Row& row : kRows)
        if (!row.threeLetterEndings.empty())
            endings.emplace_back(row.threeLetterEndings[0]);
    return inProse(endings);
}

std::string suffixesInProse()
{
    std::vector<std::string> suffixes;
    for (const Row& row : kRows)
        for (const char* suffix : row.suffixes)
            suffixes.emplace_back(suffix);
    return inProse(suffixes);
}

}  // namespace quarbel::formats
