#include "jobs/imageservice/Encode.h"

#include "jobs/imageservice/Bmp.h"
#include "jobs/imageservice/Gif.h"
#include "jobs/imageservice/Pixels.h"
#include "jobs/imageservice/Png.h"
#include "jobs/imageservice/Tiff.h"
#include "jobs/imageservice/Vips.h"

namespace quarbel::imageservice {

namespace {

using vips::VImage;

VImage firstFrame(VImage image)
{
    const int page = pixels::pageHeight(image);
    if (page == image.height())
        return image;
    image = image.crop(0, 0, image.width(), page);
    image = image.copy();
    image.remove("page-height");
    return image;
}

}  // namespace

int maxSideOf(Format format)
{
    switch (format) {
    case Format::Jpeg: return 65500;
    case Format::Gif: return 65535;
    default: return 0x7FFFFFFF;
    }
}

std::vector<std::uint8_t> encodePicture(VImage image, Format format, const EncodeOptions& options)
{
    switch (format) {
    case Format::Jpeg:
        image = pixels::flattenOnWhite(firstFrame(image));
        // Standard Huffman tables: optimised ones make files about a tenth smaller but cost
        // about a third more time and hold every coefficient of the picture in memory.
        return vips_util::take(image.jpegsave_buffer(VImage::option()->set("Q", options.jpegQuality)));
    case Format::Png:
        return encodePng(firstFrame(image));
    case Format::Gif:
        return encodeGif(image);
    case Format::Bmp: {
        image = pixels::flattenOnWhite(firstFrame(image));
        std::vector<std::uint8_t> out;
        if (auto r = encodeBmp(image, out); !r)
            throw vips_util::Failure(r.reason);
        return out;
    }
    case Format::Tiff:
        return encodeTiff(image);
    case Format::Unknown:
        break;
    }
    throw vips_util::Failure("not a supported image format");
}

}  // namespace quarbel::imageservice
