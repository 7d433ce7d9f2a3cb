#include "jobs/imageservice/vips/JpegTranscode.h"

#include "codecs/jpeg/Exif.h"
#include "codecs/jpeg/Transcode.h"
#include "jobs/imageservice/vips/Vips.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace quarbel::imageservice {

namespace {

using vips::VImage;

// The pixel path's encoder halves the chroma below quality 90.
constexpr int kFullChromaFrom = 90;

// The metadata segments the pixel path writes for this source: libvips' saver is run on an
// 8 x 8 corner of the picture, which carries all of the source's metadata (the saver rebuilds
// EXIF, and writes XMP and the profile), and the EXIF picture size is then set to the whole
// picture's. Only the first rows of blocks are decoded for it.
std::vector<codecs::jpeg::Marker> pixelPathSegments(std::span<const std::uint8_t> bytes,
                                                    const SourceInfo& info, int quality)
{
    VImage header = vips_util::loadFromBytes(
        "jpegload_buffer", bytes.data(), bytes.size(),
        VImage::option()->set("fail_on", VIPS_FAIL_ON_WARNING)->set("access", VIPS_ACCESS_SEQUENTIAL));
    VImage corner = header.crop(0, 0, std::min(8, info.width), std::min(8, info.height));
    const std::vector<std::uint8_t> sample =
        vips_util::take(corner.jpegsave_buffer(VImage::option()->set("Q", quality)));
    auto segments = codecs::jpeg::metadataSegments(sample.data(), sample.size());
    for (auto& segment : segments)
        if (segment.code == 0xE1)
            codecs::jpeg::setExifDimensions(segment.payload, std::uint32_t(info.width),
                                            std::uint32_t(info.height));
    return segments;
}

}  // namespace

bool jpegTranscodeEnabled()
{
    // Off unless asked for: on a loaded two-core machine the single-threaded transcode took
    // longer than libvips' threaded pixel path and held about 40 MB more per picture.
    const char* setting = std::getenv("QUARBEL_JPEG_TRANSCODE");
    return setting && std::strcmp(setting, "1") == 0;
}

std::optional<std::vector<std::uint8_t>> transcodeJpeg(std::span<const std::uint8_t> bytes,
                                                       const SourceInfo& info, int quality)
{
    if (info.orientation != 1 || info.frames != 1)
        return std::nullopt;
    codecs::jpeg::Target target;
    target.quality = quality;
    target.chroma = quality >= kFullChromaFrom ? codecs::jpeg::Chroma::Full : codecs::jpeg::Chroma::Halved;
    // The metadata cost a partial decode: only for files that will take this path.
    if (!codecs::jpeg::decide(bytes.data(), bytes.size(), target).written())
        return std::nullopt;
    try {
        target.markers = pixelPathSegments(bytes, info, quality);
    } catch (const vips::VError&) {
        vips_error_clear();  // the pixel path finds the same fault and gives its own reason
        return std::nullopt;
    }
    auto result = codecs::jpeg::transcode(bytes.data(), bytes.size(), target);
    if (!result.written())
        return std::nullopt;
    return std::move(result.bytes);
}

}  // namespace quarbel::imageservice
