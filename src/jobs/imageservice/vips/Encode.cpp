#include "jobs/imageservice/vips/Encode.h"

#include "jobs/imageservice/vips/Avif.h"
#include "jobs/imageservice/vips/Bmp.h"
#include "jobs/imageservice/vips/Gif.h"
#include "jobs/imageservice/vips/Jxl.h"
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

void checkWritable(Format format)
{
    const formats::Row* row = formats::rowOf(format);
    if (!row)
        throw vips_util::Failure("not a supported image format");
    if (row->encoder == formats::Encoder::None)
        throw vips_util::Failure(std::string(row->name) +
                                 " files are only read, not written: convert the picture to another format");
}

int maxSideOf(Format format)
{
    const formats::Row* row = formats::rowOf(format);
    return row ? row->maxSide : 0;
}

std::vector<std::uint8_t> encodePicture(VImage image, Format format, const EncodeOptions& options)
{
    const formats::Row* row = formats::rowOf(format);
    switch (row ? row->encoder : formats::Encoder::None) {
    case formats::Encoder::Jpeg:
        image = stoppable(pixels::flattenOnWhite(firstFrame(image)), options.cancel, InMemory::Wrap);
        // Standard Huffman tables: optimised ones make files about a tenth smaller but cost
        // about a third more time and hold every coefficient of the picture in memory.
        return vips_util::take(image.jpegsave_buffer(VImage::option()->set("Q", options.jpegQuality)));
    case formats::Encoder::OwnPng: return encodePng(firstFrame(image), options.cancel);
    case formats::Encoder::OwnGif: return encodeGif(image, options.cancel);
    case formats::Encoder::OwnBmp:
        return encodeBmp(pixels::flattenOnWhite(firstFrame(image)), options.cancel);
    case formats::Encoder::OwnTiff: return encodeTiff(image, options.cancel);
    case formats::Encoder::OwnWebp:
        return encodeWebp(std::exchange(image, VImage()), options.jpegQuality, options.cancel);
    case formats::Encoder::OwnAvif: {
        // A statement of its own: firstFrame's parameter would hold the whole pipeline (a
        // decoded BMP, say) until the end of the statement that called it.
        VImage first = firstFrame(std::exchange(image, VImage()));
        return encodeAvif(std::exchange(first, VImage()), options.jpegQuality, options.cancel);
    }
    case formats::Encoder::OwnJxl: {
        VImage first = firstFrame(std::exchange(image, VImage()));
        return encodeJxl(std::exchange(first, VImage()), options.jpegQuality, options.cancel);
    }
    case formats::Encoder::VipsHeif: return encodeHeif(firstFrame(image), options.jpegQuality);
    case formats::Encoder::None: break;
    }
    checkWritable(format);
    throw vips_util::Failure("not a supported image format");
}

}  // namespace quarbel::imageservice
