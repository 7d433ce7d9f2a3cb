#include "jobs/imageservice/vips/Jxl.h"

#include "codecs/jxl/JxlWriter.h"
#include "jobs/imageservice/vips/Metadata.h"
#include "jobs/imageservice/vips/Vips.h"

namespace quarbel::imageservice {

std::vector<std::uint8_t> encodeJxl(vips::VImage image, int quality, const codecs::CancelToken* cancel)
{
    if (image.format() != VIPS_FORMAT_UCHAR || image.bands() < 1 || image.bands() > 4)
        throw vips_util::Failure("internal error: JPEG XL output needs 8-bit grey or sRGB pixels");
    codecs::jxl::Options options;
    options.quality = quality;
    options.profile = vips_util::iccProfileOf(image);
    options.metadata = metadataOf(image);
    options.threads = threadsPerImage();
    options.cancel = cancel;
    image = image.copy_memory();
    return codecs::jxl::encode(vips_util::viewOf(image), options);
}

std::optional<std::vector<std::uint8_t>> recompressJpegAsJxl(std::span<const std::uint8_t> jpeg)
{
    return codecs::jxl::recompressJpeg(jpeg.data(), jpeg.size(), threadsPerImage());
}

}  // namespace quarbel::imageservice
