#include "jobs/imageservice/vips/WebpHeif.h"

#include "jobs/imageservice/vips/Vips.h"

namespace quarbel::imageservice {

namespace {

using vips::VImage;

// libwebp's method (0 fastest .. 6 smallest): kWebpEffort is the fastest whose results stay
// within 0.1 dB of the best PSNR at the same quality.
constexpr int kWebpEffort = 4;

// libheif's AV1 encoder (aom) at speed 9 - effort.
constexpr int kAvifEffort = 2;
constexpr int kHevcEffort = 4;

}  // namespace

std::vector<std::uint8_t> encodeWebp(VImage image, int quality)
{
    return vips_util::take(image.webpsave_buffer(VImage::option()->set("Q", quality)->set("effort", kWebpEffort)));
}

std::vector<std::uint8_t> encodeHeif(VImage image, int quality, HeifCodec codec)
{
    const bool av1 = codec == HeifCodec::Av1;
    return vips_util::take(image.heifsave_buffer(
        VImage::option()
            ->set("Q", quality)
            ->set("compression", av1 ? VIPS_FOREIGN_HEIF_COMPRESSION_AV1 : VIPS_FOREIGN_HEIF_COMPRESSION_HEVC)
            ->set("effort", av1 ? kAvifEffort : kHevcEffort)));
}

}  // namespace quarbel::imageservice
