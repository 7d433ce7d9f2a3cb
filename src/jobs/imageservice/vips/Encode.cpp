#include "jobs/imageservice/vips/Encode.h"

#include "jobs/imageservice/vips/Avif.h"
#include "jobs/imageservice/vips/Bmp.h"
#include "jobs/imageservice/vips/Gif.h"
#include "jobs/imageservice/vips/Pixels.h"
#include "jobs/imageservice/vips/Png.h"
#include "jobs/imageservice/vips/Stoppable.h"
#include "jobs/imageservice/vips/Tiff.h"
#include "jobs/imageservice/vips/Vips.h"
#include "jobs/imageservice/vips/Webp.h"
#include "jobs/imageservice/vips/WebpHeif.h"

#include <utility>

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
    case Format::Webp: return 16383;
    case Format::Avif: return 65536;
    case Format::Heif: return 16384;
    default: return 0x7FFFFFFF;
    }
}

std::vector<std::uint8_t> encodePicture(VImage image, Format format, const EncodeOptions& options)
{
    switch (format) {
    case Format::Jpeg:
        image = stoppable(pixels::flattenOnWhite(firstFrame(image)), options.cancel, InMemory::Wrap);
        // Standard Huffman tables: optimised ones make files about a tenth smaller but cost
        // about a third more time and hold every coefficient of the picture in memory.
        return vips_util::take(image.jpegsave_buffer(VImage::option()->set("Q", options.jpegQuality)));
    case Format::Png: return encodePng(firstFrame(image), options.cancel);
    case Format::Gif: return encodeGif(image, options.cancel);
    case Format::Bmp: return encodeBmp(pixels::flattenOnWhite(firstFrame(image)), options.cancel);
    case Format::Tiff: return encodeTiff(image, options.cancel);
    case Format::Webp: return encodeWebp(std::exchange(image, VImage()), options.jpegQuality, options.cancel);
    case Format::Avif: {
        // A statement of its own: firstFrame's parameter would hold the whole pipeline (a
        // decoded BMP, say) until the end of the statement that called it.
        VImage first = firstFrame(std::exchange(image, VImage()));
        return encodeAvif(std::exchange(first, VImage()), options.jpegQuality, options.cancel);
    }
    case Format::Heif: return encodeHeif(firstFrame(image), options.jpegQuality);
    case Format::CameraRaw:  // read only
    case Format::Unknown: break;
    }
    throw vips_util::Failure("not a supported image format");
}

}  // namespace quarbel::imageservice
