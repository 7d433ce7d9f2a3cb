#include "jobs/imageservice/Tiff.h"

#include "jobs/imageservice/Vips.h"

namespace quarbel::imageservice {

std::vector<std::uint8_t> encodeTiff(vips::VImage image)
{
    return vips_util::take(image.tiffsave_buffer(vips::VImage::option()
                                                     ->set("compression", VIPS_FOREIGN_TIFF_COMPRESSION_DEFLATE)
                                                     ->set("predictor", VIPS_FOREIGN_TIFF_PREDICTOR_HORIZONTAL)));
}

}  // namespace quarbel::imageservice
