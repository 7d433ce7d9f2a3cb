#include "jobs/imageservice/Encode.h"

#include "jobs/imageservice/Bmp.h"
#include "jobs/imageservice/Pixels.h"
#include "jobs/imageservice/Png.h"
#include "jobs/imageservice/Vips.h"

namespace quarbel::imageservice {

namespace {

using vips::VImage;

std::vector<std::uint8_t> take(VipsBlob* blob)
{
    size_t length = 0;
    const auto* data = static_cast<const std::uint8_t*>(vips_blob_get(blob, &length));
    std::vector<std::uint8_t> out;
    try {
        out.assign(data, data + length);
    } catch (...) {
        vips_area_unref(VIPS_AREA(blob));
        throw;
    }
    vips_area_unref(VIPS_AREA(blob));
    return out;
}

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
        return take(image.jpegsave_buffer(VImage::option()->set("Q", options.jpegQuality)));
    case Format::Png:
        return encodePng(firstFrame(image));
    case Format::Gif:
        return take(image.gifsave_buffer(VImage::option()->set("dither", 1.0)->set("effort", 7)));
    case Format::Bmp: {
        image = pixels::flattenOnWhite(firstFrame(image));
        std::vector<std::uint8_t> out;
        if (auto r = encodeBmp(image, out); !r)
            throw vips_util::Failure(r.reason);
        return out;
    }
    case Format::Tiff:
        return take(image.tiffsave_buffer(VImage::option()
                                              ->set("compression", VIPS_FOREIGN_TIFF_COMPRESSION_DEFLATE)
                                              ->set("predictor", VIPS_FOREIGN_TIFF_PREDICTOR_HORIZONTAL)));
    case Format::Unknown:
        break;
    }
    throw vips_util::Failure("not a supported image format");
}

}  // namespace quarbel::imageservice
