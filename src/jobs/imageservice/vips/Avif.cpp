#include "jobs/imageservice/vips/Avif.h"

#include "codecs/avif/AvifEncoder.h"
#include "codecs/avif/EncodeGate.h"
#include "jobs/imageservice/vips/Metadata.h"
#include "jobs/imageservice/vips/Vips.h"

namespace quarbel::imageservice {

std::vector<std::uint8_t> encodeAvif(vips::VImage image, int quality, const codecs::CancelToken* cancel)
{
    if (image.format() != VIPS_FORMAT_UCHAR || image.bands() < 1 || image.bands() > 4)
        throw vips_util::Failure("internal error: AVIF output needs 8-bit grey or sRGB pixels");
    codecs::avif::Options options;
    options.quality = quality;
    options.profile = vips_util::iccProfileOf(image);
    options.metadata = metadataOf(image);
    // The gate is taken before the pixels are made: a worker waiting for it holds no more
    // than its unread pipeline, not another picture beside the encoder's.
    const codecs::avif::EncodeGate gate;
    image = image.copy_memory();
    codecs::avif::Yuv yuv = codecs::avif::toYuv(vips_util::viewOf(image), cancel);
    image = vips::VImage();  // the decoded pixels are not needed any more
    return codecs::avif::encode(std::move(yuv), options, cancel);
}

}  // namespace quarbel::imageservice
