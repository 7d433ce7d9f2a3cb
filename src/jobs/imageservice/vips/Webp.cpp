#include "jobs/imageservice/vips/Webp.h"

#include "codecs/webp/WebpWriter.h"
#include "jobs/imageservice/vips/Metadata.h"
#include "jobs/imageservice/vips/Pixels.h"
#include "jobs/imageservice/vips/Vips.h"

#include <algorithm>

namespace quarbel::imageservice {

namespace {

using vips::VImage;
namespace webp = codecs::webp;

// Each frame's time in milliseconds: libvips gives them per frame ("delay"), older pictures
// one time for all in centiseconds ("gif-delay"). Frames without one get the writer's own.
std::vector<int> delaysOf(const VImage& image)
{
    if (image.get_typeof("delay"))
        return image.get_array_int("delay");
    if (image.get_typeof("gif-delay"))
        return std::vector<int>(std::size_t(pixels::pageCount(image)), image.get_int("gif-delay") * 10);
    return {};
}

webp::Options optionsOf(const VImage& image, int quality, const codecs::CancelToken* cancel)
{
    webp::Options options;
    options.quality = quality;
    options.profile = vips_util::iccProfileOf(image);
    options.metadata = metadataOf(image);
    options.cancel = cancel;
    return options;
}

}  // namespace

std::vector<std::uint8_t> encodeWebp(VImage image, int quality, const codecs::CancelToken* cancel)
{
    if (image.format() != VIPS_FORMAT_UCHAR || image.bands() < 1 || image.bands() > 4)
        throw vips_util::Failure("internal error: WebP output needs 8-bit samples, 1 to 4 per pixel");
    webp::Options options = optionsOf(image, quality, cancel);
    try {
        if (pixels::pageCount(image) > 1) {
            webp::Animation animation;
            animation.pageHeight = pixels::pageHeight(image);
            animation.delays = delaysOf(image);
            animation.loop = image.get_typeof("loop") ? std::max(0, image.get_int("loop")) : 0;
            image = image.copy_memory();
            animation.frames = vips_util::viewOf(image);
            return webp::encode(animation, options);
        }
        webp::StillWriter writer(image.width(), image.height(), image.bands(), std::move(options));
        vips_util::forEachStrip(image, [&](const codecs::PixelView& rows) { writer.add(rows); });
        image = VImage();  // the decoded source and the pipeline go before libwebp encodes
        return writer.finish();
    } catch (const std::bad_alloc&) {
        throw vips_util::Failure("not enough memory for the WebP file");
    }
}

}  // namespace quarbel::imageservice
