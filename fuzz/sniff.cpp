// Recognising a file's format from its first bytes, and the HEIF brand reader.
#include "FuzzSupport.h"

#include "jobs/imageservice/vips/Sniff.h"

#include <cstring>

using namespace quarbel;
using imageservice::Format;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Format format = imageservice::sniffFormat(data, size);
    const Format brand = imageservice::heifBrandOf(data, size);
    FUZZ_CHECK(brand == Format::Unknown || brand == Format::Heif || brand == Format::Avif);
    // An ISO media file is the last thing tried: whatever else it is wins.
    if (format == Format::Heif || format == Format::Avif || format == Format::Unknown)
        FUZZ_CHECK(format == brand);
    FUZZ_CHECK((format == Format::Jpeg) == (size >= 3 && std::memcmp(data, "\xFF\xD8\xFF", 3) == 0));
    // Every format's identifier names it again; names are never empty.
    FUZZ_CHECK(imageservice::formatOfId(imageservice::formatIdOf(format)) == format);
    FUZZ_CHECK(*imageservice::formatName(format) != '\0');
    // Every other format but SVG (XML, whose root element may come after a declaration and
    // comments) is told by its first 18 bytes at most; a DNG or a maker's TIFF-based raw file
    // by the tags of its directories, wherever they are.
    if (size >= 18 && brand == Format::Unknown && format != Format::Svg && format != Format::CameraRaw)
        FUZZ_CHECK(imageservice::sniffFormat(data, 18) == format);
    return 0;
}
