#pragma once
// The one table of the picture formats: for each its name, its name in the format list, the
// names and first bytes it is known by, whether it is read and written, whether it takes a
// quality, which decoder and encoder the Image Service gives it, and its limits. The list's
// name test, the open dialog's filter, the sniffer, the window's format list, the convert
// job, quarbel-batch's options and --help read it; the README, the window's man page and the
// bash completion are checked against it (tests/formats). Adding a format is a row here, the
// row's entries in Decoder/Encoder and the codec behind them.
//
// Plain C++ without Qt: the Image Service and the fuzz targets use it too.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quarbel::formats {

// Heif: a HEIF file of HEVC pictures (HEIC); Avif: one of AV1 pictures. Both are read by the
// same decoder; they differ in how they are written. CameraRaw: DNG and the makers' raw files.
enum class Format { Unknown, Jpeg, Png, Gif, Bmp, Tiff, Webp, Avif, Heif, Jxl, Svg, Pdf, CameraRaw };

// How the Image Service decodes a format (it maps these to libvips loaders or our own code).
enum class Decoder {
    None,
    VipsJpeg,
    VipsPng,
    VipsGif,
    OwnBmp,
    VipsTiff,
    VipsWebp,
    VipsHeif,
    VipsJxl,
    VipsSvg,
    VipsPdf,
    LibRaw
};
// How it encodes one.
enum class Encoder { None, Jpeg, OwnPng, OwnGif, OwnBmp, OwnTiff, OwnWebp, OwnAvif, OwnJxl, VipsHeif };

// Decoders that must never parse a picture outside a confined worker process.
enum class Trust { Anywhere, ConfinedOnly };
enum class Quality { None, Taken };
// How many of a file's frames or pages are ever read.
enum class Frames { All, FirstOnly };

// A file's first bytes: `first` at the start and, when given, `second` at `secondAt`. A row
// with none is recognised by code of its own in the sniffer (BMP's header check, the ISO
// brands of HEIF and AVIF, SVG's XML, camera raw's directories and makers' marks).
struct Signature {
    std::string_view first;
    std::size_t secondAt = 0;
    std::string_view second = {};
};

struct Row {
    Format format;
    const char* name;       // for people: "JPEG", "WebP", "JPEG XL"
    const char* listText;   // the format list's text ("JPG"), "" when it is not offered there
    const char* extension;  // what the convert job writes after the base name, "" when not written
    const char* formatId;   // the Image Service's FormatID text
    // The list accepts a name whose last three characters are one of these, compared with
    // case (no dot needed) ...
    std::span<const char* const> threeLetterEndings;
    // ... or that ends in one of these, in any letter case.
    std::span<const char* const> suffixes;
    // The open dialog's patterns for the format ("*.jpg").
    std::span<const char* const> dialogPatterns;
    std::span<const Signature> signatures;  // any one of them tells the format
    Decoder decoder;
    Encoder encoder;  // None: never written (also not by Resize, which keeps the format)
    Trust trust;
    Quality quality;
    Frames frames;
    int maxSide;  // the largest width or height a file of the format holds
};

// The rows, in the format list's order (the written formats first).
std::span<const Row> table();

// The row of a format, or null for Unknown.
const Row* rowOf(Format format);
// The row whose list text equals text exactly, case included, or null.
const Row* rowOfListText(std::string_view text);
// The row of a FormatID text (exactly as written, upper-case digits), or null.
const Row* rowOfFormatId(std::string_view id);

// Whether the list accepts a file name as a picture (ImageFileCheck's rule).
bool acceptsName(std::string_view name);

// The open dialog's filter, "description|patterns|..." ("Image Files" first).
std::string openDialogFilter();

// Texts for --help and the documentation: the format list's names joined with `separator`
// ("JPG|PNG|..."), and in prose ("JPG, PNG, ... or JXL").
std::string listTexts(std::string_view separator);
std::string inProse(std::span<const std::string> words, std::string_view lastJoin = " or ");
std::string listTextsInProse();
// The list texts of the formats that take a quality, in prose ("JPG, WEBP, AVIF and JXL").
std::string qualityTextsInProse();
// The accepted three-letter endings in lower case ("jpg, png, gif, bmp or tif") and the
// suffixes (".webp, ... or .pdf").
std::string threeLetterEndingsInProse();
std::string suffixesInProse();

}  // namespace quarbel::formats
