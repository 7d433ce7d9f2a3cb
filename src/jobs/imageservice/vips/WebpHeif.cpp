#include "jobs/imageservice/vips/WebpHeif.h"

#include "jobs/imageservice/vips/Vips.h"

namespace quarbel::imageservice {

std::vector<std::uint8_t> encodeHeif(vips::VImage image, int quality)
{
    // x265 at its own preset.
    vips_util::needModule("heif");
    return vips_util::take(image.heifsave_buffer(
        vips::VImage::option()->set("Q", quality)->set("compression", VIPS_FOREIGN_HEIF_COMPRESSION_HEVC)));
}

}  // namespace quarbel::imageservice
