// The preview decode: a picture shrunk while it loads to fit the preview box.
//
// JPEG files are decoded here by libjpeg-turbo straight from memory, at the largest of its
// scales (1/8, 1/4, 1/2) that still covers the box. libvips' loader hands libjpeg 4 KB at a
// time, which keeps libjpeg off its fast Huffman path for much of the file and adds its
// thread hand-offs: bench/preview_bench on a 36-megapixel JPEG went from about 145 to about
// 125 ms of processor time and from about 460 to about 370 ms on the clock (two cores shared
// with other builds); libjpeg's entropy decoding is now 85% of what is left. Files libjpeg
// cannot give as RGB or grey (CMYK) go through libvips.
//
// Other pictures are decoded whole (PNG, TIFF and BMP have no cheaper scale), then averaged
// in blocks down to twice the box before the Lanczos filter: a 12-megapixel BMP went from
// about 230-300 to 85-120 ms of processor time, a 5120 x 2880 RGBA PNG from about 920 to 720.

#include "jobs/imageservice/vips/PreviewDecode.h"

#include "codecs/jpeg/Libjpeg.h"

#include "jobs/imageservice/vips/CameraRaw.h"
#include "jobs/imageservice/vips/Decode.h"
#include "jobs/imageservice/vips/DecodeWatch.h"
#include "jobs/imageservice/vips/Pixels.h"
#include "jobs/imageservice/vips/Vips.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace quarbel::imageservice {

using vips::VImage;

namespace {

// libjpeg's errors jump back to the decode with the message; warnings (damaged but readable
// data) are tolerated, as the libvips loaders are told to.
using JpegErrors = codecs::jpeg::libjpeg::ErrorManager;

struct JpegPixels {
    int width = 0, height = 0, bands = 0;  // bands 0: a colour space left to libvips
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> profile;  // the embedded ICC profile, if any
};

// Decodes at 1/shrink of the stored size. False with errors.message when libjpeg failed.
// Only plain C data lives in this frame, so the jump back skips no destructor.
bool readScaledJpeg(const std::uint8_t* data, std::size_t size, int shrink, JpegPixels& out,
                    JpegErrors& errors)
{
    jpeg_decompress_struct decoder;
    decoder.err = codecs::jpeg::libjpeg::useErrorManager(&errors, codecs::jpeg::libjpeg::Warnings::Tolerate);
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&decoder);
        return false;
    }
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&decoder, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&decoder, TRUE);
    if (decoder.jpeg_color_space == JCS_GRAYSCALE) {
        decoder.out_color_space = JCS_GRAYSCALE;
    } else if (decoder.jpeg_color_space == JCS_YCbCr || decoder.jpeg_color_space == JCS_RGB) {
        decoder.out_color_space = JCS_RGB;
    } else {
        jpeg_destroy_decompress(&decoder);
        return true;
    }
    JOCTET* profile = nullptr;
    unsigned int profileLength = 0;
    if (jpeg_read_icc_profile(&decoder, &profile, &profileLength)) {
        out.profile.assign(profile, profile + profileLength);
        std::free(profile);
    }
    decoder.scale_num = 1;
    decoder.scale_denom = static_cast<unsigned int>(shrink);
    jpeg_start_decompress(&decoder);
    out.width = static_cast<int>(decoder.output_width);
    out.height = static_cast<int>(decoder.output_height);
    out.bands = decoder.output_components;
    const std::size_t rowBytes = std::size_t(out.width) * out.bands;
    try {
        out.pixels.resize(rowBytes * out.height);
    } catch (...) {
        jpeg_destroy_decompress(&decoder);
        throw;
    }
    while (decoder.output_scanline < decoder.output_height) {
        JSAMPROW row = out.pixels.data() + rowBytes * decoder.output_scanline;
        jpeg_read_scanlines(&decoder, &row, 1);
    }
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    return true;
}

// The JPEG at 1/shrink as a picture in memory with its profile and orientation, or nothing
// when libvips should decode it.
std::optional<VImage> openScaledJpeg(std::span<const std::uint8_t> bytes, const SourceInfo& info, int shrink)
{
    JpegPixels decoded;
    JpegErrors errors;
    if (!readScaledJpeg(bytes.data(), bytes.size(), shrink, decoded, errors))
        throw vips_util::Failure(errors.message);
    if (decoded.bands == 0)
        return std::nullopt;
    VipsImage* copied =
        vips_image_new_from_memory_copy(decoded.pixels.data(), decoded.pixels.size(), decoded.width,
                                        decoded.height, decoded.bands, VIPS_FORMAT_UCHAR);
    if (!copied)
        throw vips_util::Failure("not enough memory for this picture");
    VImage image(copied);  // takes the reference
    image = image.copy(VImage::option()->set(
        "interpretation", decoded.bands == 1 ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB));
    if (!decoded.profile.empty())
        vips_image_set_blob_copy(image.get_image(), "icc-profile-data", decoded.profile.data(),
                                 decoded.profile.size());
    image.set("orientation", info.orientation);
    return image;
}

// 8-bit RGB or grey, where white is 255 in every band.
bool eightBitColourOrGrey(const VImage& image)
{
    const VipsInterpretation interpretation = image.guess_interpretation();
    return image.format() == VIPS_FORMAT_UCHAR &&
           (interpretation == VIPS_INTERPRETATION_sRGB || interpretation == VIPS_INTERPRETATION_B_W);
}

// The picture's header, and its size as shown into preview.
SourceInfo headerForPreview(std::span<const std::uint8_t> bytes, PreviewResult& preview)
{
    const Format format = sniffFormat(bytes.data(), bytes.size());
    if (format == Format::Unknown)
        throw vips_util::Failure("not a supported image format");
    const SourceInfo info = readHeader(bytes.data(), bytes.size(), format);
    preview.fullWidth = info.shownWidth();
    preview.fullHeight = info.shownHeight();
    return info;
}

}  // namespace

PreviewResult sizeForPreview(std::span<const std::uint8_t> bytes)
{
    PreviewResult preview;
    headerForPreview(bytes, preview);
    return preview;
}

PreviewResult decodeForPreview(std::span<const std::uint8_t> bytes, int maxWidth, int maxHeight)
{
    PreviewResult preview;
    const SourceInfo info = headerForPreview(bytes, preview);
    const Format format = info.format;

    const double factor =
        std::min({1.0, double(maxWidth) / preview.fullWidth, double(maxHeight) / preview.fullHeight});
    const int width = std::max(1, int(std::lrint(preview.fullWidth * factor)));
    const int height = std::max(1, int(std::lrint(preview.fullHeight * factor)));

    LoadRequest request;
    request.randomAccess = info.orientation != 1;
    if (format == Format::Jpeg) {
        const int storedW = info.turned() ? height : width, storedH = info.turned() ? width : height;
        for (int shrink : {8, 4, 2})
            if (info.width / shrink >= storedW && info.height / shrink >= storedH) {
                request.jpegShrink = shrink;
                break;
            }
    }
    // Drawings are drawn at the preview's size rather than drawn whole and shrunk.
    if (format == Format::Svg || format == Format::Pdf)
        request.drawScale = factor;
    DecodeWatch decoding;
    std::optional<VImage> opened;
    if (format == Format::Jpeg)
        opened = openScaledJpeg(bytes, info, request.jpegShrink);
    if (format == Format::CameraRaw)
        opened = openCameraRawPreview(bytes, width, height);
    if (!opened)
        opened = decoding.watch(openPicture(bytes.data(), bytes.size(), info, request));
    VImage image = pixels::upright(*opened);
    if (pixels::hasAlpha(image) && eightBitColourOrGrey(image)) {
        // Flattening first gives the same pixels as scaling premultiplied and flattening
        // afterwards (both are weighted sums of the premultiplied colours), with no alpha band
        // to carry and nothing to premultiply. Under a colour profile white is still the
        // profile's white.
        image = pixels::flattenOnWhite(image);
    }
    if (!pixels::hasAlpha(image)) {
        // Blocks are averaged down to twice the box first: the filter after them then runs
        // on a small picture. (The batch jobs keep eight times the target for quality.)
        const int blockX = image.width() / (2 * width), blockY = image.height() / (2 * height);
        if (blockX >= 2 || blockY >= 2)
            image = image.shrink(std::max(1, blockX), std::max(1, blockY));
    }
    if (image.width() != width || image.height() != height)
        image = pixels::scaleTo(image, width, height);
    image = pixels::flattenOnWhite(pixels::toDisplay(image));
    if (image.bands() == 1)
        image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    image = image.copy_memory();
    decoding.check();
    preview.width = image.width();
    preview.height = image.height();
    const auto* data = static_cast<const std::uint8_t*>(image.data());
    preview.rgb.assign(data, data + std::size_t(preview.width) * preview.height * 3);
    return preview;
}

}  // namespace quarbel::imageservice
