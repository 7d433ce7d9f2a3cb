#include "jobs/imageservice/vips/SmallPng.h"

#include "codecs/jpeg/Exif.h"
#include "codecs/jpeg/Libjpeg.h"
#include "codecs/jpeg/Transcode.h"
#include "codecs/png/PngReader.h"
#include "jobs/imageservice/vips/Vips.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace quarbel::imageservice {

namespace {

using vips::VImage;
namespace libjpeg = codecs::jpeg::libjpeg;

constexpr std::uint64_t kMostPixels = 512 * 512;

struct Resolution {
    double x = 0, y = 0;  // pixels a millimetre, as libvips keeps it
    bool operator==(const Resolution&) const = default;
};

// As libvips' PNG loader: pHYs in pixels a metre over 1000; a density of unknown unit as it
// stands; 2834 pixels a metre (72 dpi, cut to a whole number) when there is none.
Resolution resolutionOf(const codecs::png::PlainPng& png)
{
    if (!png.hasDensity)
        return {2834 / 1000.0, 2834 / 1000.0};
    if (png.densityPerMetre)
        return {png.densityX / 1000.0, png.densityY / 1000.0};
    return {double(png.densityX), double(png.densityY)};
}

// The segments libvips' saver writes after SOI for a picture without metadata (its EXIF
// block, with the resolution): taken from its output for an 8 x 8 picture, once per
// resolution and band count, the EXIF picture size then set to each picture's own.
std::vector<codecs::jpeg::Marker> segmentsFor(Resolution resolution, int bands)
{
    struct Entry {
        Resolution resolution;
        int bands;
        std::vector<codecs::jpeg::Marker> segments;
    };
    static std::mutex guard;
    static std::vector<Entry> made;
    {
        const std::lock_guard lock(guard);
        for (const Entry& entry : made)
            if (entry.resolution == resolution && entry.bands == bands)
                return entry.segments;
    }
    VImage sample = VImage::black(8, 8, VImage::option()->set("bands", bands))
                        .cast(VIPS_FORMAT_UCHAR)
                        .copy(VImage::option()
                                  ->set("interpretation", bands == 1 ? VIPS_INTERPRETATION_B_W
                                                                     : VIPS_INTERPRETATION_sRGB)
                                  ->set("xres", resolution.x)
                                  ->set("yres", resolution.y));
    const std::vector<std::uint8_t> file = vips_util::take(sample.jpegsave_buffer(VImage::option()->set("Q", 75)));
    std::vector<codecs::jpeg::Marker> segments = codecs::jpeg::metadataSegments(file.data(), file.size());
    const std::lock_guard lock(guard);
    if (made.size() >= 16)
        made.clear();
    made.push_back({resolution, bands, segments});
    return segments;
}

// libvips' flatten on a white ground, in its integer arithmetic.
void flattenOnWhite(codecs::png::PlainPng& png)
{
    const int colours = png.bands - 1;
    std::uint8_t* out = png.pixels.data();
    const std::uint8_t* in = png.pixels.data();
    for (std::size_t i = 0, n = std::size_t(png.width) * std::size_t(png.height); i < n; ++i) {
        const int alpha = in[colours];
        for (int b = 0; b < colours; ++b)
            out[b] = std::uint8_t((in[b] * alpha + 255 * (255 - alpha)) / 255);
        in += png.bands;
        out += colours;
    }
    png.bands = colours;
    png.pixels.resize(std::size_t(png.width) * std::size_t(png.height) * std::size_t(colours));
}

}  // namespace

bool smallPngPathEnabled()
{
    const char* setting = std::getenv("QUARBEL_SMALL_PNG");
    return !setting || std::strcmp(setting, "0") != 0;
}

std::optional<std::vector<std::uint8_t>> smallPngToJpeg(std::span<const std::uint8_t> bytes,
                                                        const SourceInfo& info, int quality)
{
    if (info.format != Format::Png || info.frames != 1 || info.orientation != 1 ||
        std::uint64_t(info.width) * std::uint64_t(info.height) > kMostPixels)
        return std::nullopt;
    std::optional<codecs::png::PlainPng> png = codecs::png::readPlainPng(bytes.data(), bytes.size(), kMostPixels);
    if (!png)
        return std::nullopt;
    if (png->bands == 2 || png->bands == 4)
        flattenOnWhite(*png);

    std::vector<codecs::jpeg::Marker> segments;
    try {
        segments = segmentsFor(resolutionOf(*png), png->bands);
    } catch (const vips::VError&) {
        vips_error_clear();
        return std::nullopt;
    }
    std::vector<libjpeg::MarkerView> markers;
    for (codecs::jpeg::Marker& segment : segments) {
        if (segment.code == JPEG_APP0 + 1)
            codecs::jpeg::setExifDimensions(segment.payload, std::uint32_t(png->width), std::uint32_t(png->height));
        markers.push_back({segment.code, segment.payload.data(), unsigned(segment.payload.size())});
    }

    libjpeg::Output output{};
    const bool written = libjpeg::writePixels(&output, png->pixels.data(), png->width, png->height, png->bands,
                                              std::size_t(png->width) * std::size_t(png->bands), quality,
                                              markers.data(), int(markers.size()));
    std::optional<std::vector<std::uint8_t>> file;
    if (written)
        file.emplace(output.buffer, output.buffer + output.size);
    libjpeg::closeOutput(&output);
    return file;
}

}  // namespace quarbel::imageservice
