#include "jobs/imageservice/Gif.h"

#include "jobs/imageservice/Vips.h"

namespace quarbel::imageservice {

std::vector<std::uint8_t> encodeGif(vips::VImage image)
{
    return vips_util::take(image.gifsave_buffer(vips::VImage::option()->set("dither", 1.0)->set("effort", 7)));
}

}  // namespace quarbel::imageservice
