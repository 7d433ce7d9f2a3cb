#include "jobs/imageservice/vips/WebpHeif.h"

#include "jobs/imageservice/vips/Vips.h"

namespace quarbel::imageservice {

namespace {

using vips::VImage;

// libheif's AV1 encoder (aom) runs at speed 9 - effort. A 12-megapixel photo at quality 75
// (seconds of wall time on the shared 2-core machine):
//   effort 0: 3.1 s, 47.45 dB, 1.64 MB   1: 5.5 s, 47.53 dB   2: 8.5 s, 47.61 dB
//   3: 14.6 s, 47.70 dB, 1.69 MB
// Each step buys less than a tenth of a decibel for another few seconds a picture.
constexpr int kAvifEffort = 0;

}  // namespace

std::vector<std::uint8_t> encodeHeif(VImage image, int quality, HeifCodec codec)
{
    auto* options = VImage::option()->set("Q", quality);
    if (codec == HeifCodec::Av1)
        options->set("compression", VIPS_FOREIGN_HEIF_COMPRESSION_AV1)->set("effort", kAvifEffort);
    else
        options->set("compression", VIPS_FOREIGN_HEIF_COMPRESSION_HEVC);  // x265 at its own preset
    return vips_util::take(image.heifsave_buffer(options));
}

}  // namespace quarbel::imageservice
