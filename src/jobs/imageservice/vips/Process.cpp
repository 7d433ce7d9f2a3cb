#include "jobs/imageservice/vips/Process.h"

#include "jobs/imageservice/vips/DecodeWatch.h"
#include "jobs/imageservice/vips/Encode.h"
#include "jobs/imageservice/vips/JpegTranscode.h"
#include "jobs/imageservice/vips/Jxl.h"
#include "jobs/imageservice/vips/Pixels.h"
#include "jobs/imageservice/vips/SmallPng.h"
#include "jobs/imageservice/vips/Stoppable.h"
#include "jobs/imageservice/vips/Vips.h"

#include <utility>

namespace quarbel::imageservice {

namespace {

using vips::VImage;
using vips_util::Failure;

// JPEG can decode at 1/2, 1/4 or 1/8 of its size almost for free; take the largest of these
// that still leaves at least the target size for the proper filter to work on.
int jpegShrinkFor(const SourceInfo& info, long long width, long long height)
{
    const long long storedW = info.turned() ? height : width;
    const long long storedH = info.turned() ? width : height;
    for (int shrink : {8, 4, 2})
        if (info.width / shrink >= storedW && info.height / shrink >= storedH)
            return shrink;
    return 1;
}

void checkOutputSize(long long width, long long height, int frames, Format target)
{
    checkWritable(target);
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (std::uint64_t(width) * std::uint64_t(height) * std::uint64_t(frames) > maxPixels() ||
        width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        throw Failure("the picture would be larger than " + std::to_string(maxPixels()) + " pixels (" + size +
                      ")");
    if (width > maxSideOf(target) || height > maxSideOf(target))
        throw Failure("a " + std::string(formatName(target)) + " file cannot hold a picture of " + size +
                      " pixels");
}

}  // namespace

Processed process(std::span<const std::uint8_t> bytes, const SourceInfo& info, const ProcessRequest& plan)
{
    const Format target = plan.target == Format::Unknown ? info.format : plan.target;
    if (target == Format::CameraRaw)
        throw Failure("a camera raw picture cannot be written as camera raw: convert it to another format");
    const bool keepFrames =
        info.frames > 1 && (target == Format::Gif || target == Format::Tiff || target == Format::Webp);
    const int frames = keepFrames ? info.frames : 1;

    struct {
        long long width, height;
    } size{info.shownWidth(), info.shownHeight()};
    if (plan.scale)
        size = {plan.width, plan.height};
    checkOutputSize(size.width, size.height, frames, target);
    codecs::checkCancel(plan.cancel);

    if (info.format == Format::Png && target == Format::Jpeg && !plan.scale && smallPngPathEnabled()) {
        if (auto direct = smallPngToJpeg(bytes, info, plan.jpegQuality)) {
            Processed result;
            result.data = std::move(*direct);
            result.info = info;
            result.info.format = Format::Jpeg;
            return result;
        }
    }

    if (info.format == Format::Jpeg && target == Format::Jpeg && !plan.scale && jpegTranscodeEnabled()) {
        if (auto transcoded = transcodeJpeg(bytes, info, plan.jpegQuality)) {
            Processed result;
            result.data = std::move(*transcoded);
            result.info = info;
            return result;
        }
    }

    // A JPEG kept as it is (no scaling, no turn, its metadata kept) at quality 100 is stored
    // losslessly: its coefficients, and the original file can be rebuilt from it.
    if (info.format == Format::Jpeg && target == Format::Jxl && !plan.scale && plan.jpegQuality == 100 &&
        info.orientation == 1 && plan.metadata == Metadata::Keep) {
        if (auto recompressed = recompressJpegAsJxl(bytes)) {
            Processed result;
            result.data = std::move(*recompressed);
            result.info = info;
            result.info.format = Format::Jxl;
            return result;
        }
    }

    LoadRequest request;
    request.allFrames = keepFrames;
    request.randomAccess = info.orientation != 1 && !keepFrames;
    if (plan.scale && info.format == Format::Jpeg)
        request.jpegShrink = jpegShrinkFor(info, size.width, size.height);

    DecodeWatch decoding;
    VImage image =
        stoppable(decoding.watch(openPicture(bytes.data(), bytes.size(), info, request)), plan.cancel);
    image = pixels::upright(image);
    if (image.width() != size.width || pixels::pageHeight(image) != size.height)
        image = pixels::scaleTo(image, int(size.width), int(size.height));
    image = pixels::toDisplay(image);
    if (info.format == Format::Gif && (target == Format::Png || target == Format::Tiff))
        image = pixels::withoutOpaqueAlpha(image);  // GIFs always decode with an alpha band
    image = withMetadata(image, plan.metadata);

    Processed result;
    result.info.format = target;
    result.info.width = image.width();
    result.info.height = pixels::pageHeight(image);
    result.info.frames = keepFrames ? pixels::pageCount(image) : 1;
    // Handed over, so that an encoder that has read every row can let the pipeline go: VImage
    // has no move, and std::move would leave this reference, and a decoded BMP, behind.
    result.data =
        encodePicture(std::exchange(image, VImage()), target, EncodeOptions{plan.jpegQuality, plan.cancel});
    // A pipeline may finish with what a failed region gave it: a cancelled picture is never
    // taken for a finished one.
    codecs::checkCancel(plan.cancel);
    decoding.check();
    return result;
}

}  // namespace quarbel::imageservice
