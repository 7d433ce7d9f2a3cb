#include "jobs/imageservice/vips/Tiff.h"

#include "codecs/tiff/TiffWriter.h"
#include "jobs/imageservice/vips/Metadata.h"
#include "jobs/imageservice/vips/Pixels.h"
#include "jobs/imageservice/vips/Vips.h"

#include <cmath>
#include <cstring>

namespace quarbel::imageservice {

namespace {

using vips::VImage;
using vips_util::Failure;
using namespace codecs::tiff;
using codecs::Bytes;

// libvips keeps the resolution in pixels per millimetre. The file gives it per inch when the
// source file did, per centimetre otherwise, as libvips' own TIFF writer does.
void setResolution(const VImage& image, Layout& layout)
{
    bool inch = false;
    if (image.get_typeof("resolution-unit")) {
        const char* unit = image.get_string("resolution-unit");
        inch = unit && std::strncmp(unit, "in", 2) == 0;
    }
    const double perUnit = inch ? 25.4 : 10.0;
    auto toFile = [&](double perMillimetre) {
        if (!(perMillimetre > 0) || !std::isfinite(perMillimetre))
            perMillimetre = 72 / 25.4;  // unknown: the usual 72 dots per inch
        return perMillimetre * perUnit;
    };
    layout.xres = toFile(image.xres());
    layout.yres = toFile(image.yres());
    layout.resolutionUnit = inch ? Inch : Centimetre;
}

// The picture's ICC profile, unless it describes another colour space than the samples'
// (a grey picture with an RGB profile would mislead colour-managed readers).
Bytes profileOf(const VImage& image, int samples)
{
    if (!image.get_typeof("icc-profile-data"))
        return {};
    size_t length = 0;
    const auto* data = static_cast<const std::uint8_t*>(image.get_blob("icc-profile-data", &length));
    const char* space = samples >= 3 ? "RGB " : "GRAY";
    if (!data || length < 20 || std::memcmp(data + 16, space, 4) != 0)
        return {};
    return Bytes(data, data + length);
}

Layout layoutOf(const VImage& image)
{
    Layout layout;
    layout.samples = image.bands();
    layout.width = std::uint32_t(image.width());
    layout.pageHeight = std::uint32_t(pixels::pageHeight(image));
    layout.pages = std::uint32_t(pixels::pageCount(image));
    setResolution(image, layout);
    layout.profile = profileOf(image, layout.samples);
    layout.metadata = metadataOf(image);
    return layout;
}

}  // namespace

std::vector<std::uint8_t> encodeTiff(VImage image, std::uint64_t classicLimit,
                                     const codecs::CancelToken* cancel)
{
    const int bands = image.bands();
    if (image.format() != VIPS_FORMAT_UCHAR || bands < 1 || bands > 4)
        throw Failure("internal error: TIFF output needs 8-bit samples, 1 to 4 per pixel");
    try {
        TiffWriter writer(layoutOf(image), classicLimit, cancel);
        vips_util::forEachStrip(image, [&](const codecs::PixelView& rows) { writer.add(rows); });
        return writer.take();
    } catch (const std::bad_alloc&) {
        throw Failure("not enough memory for the TIFF file");
    }
}

std::vector<std::uint8_t> encodeTiff(VImage image, const codecs::CancelToken* cancel)
{
    return encodeTiff(std::move(image), kClassicLimit, cancel);
}

}  // namespace quarbel::imageservice
