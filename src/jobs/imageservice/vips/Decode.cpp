#include "jobs/imageservice/vips/Decode.h"

#include "codecs/bmp/Bmp.h"
#include "jobs/imageservice/vips/Bmp.h"
#include "jobs/imageservice/vips/CameraRaw.h"
#include "jobs/imageservice/vips/Vips.h"

#include <algorithm>

namespace quarbel::imageservice {

namespace {

using vips::VImage;
using vips_util::Failure;

const char* loaderOf(Format format)
{
    const formats::Row* row = formats::rowOf(format);
    if (row && row->trust == formats::Trust::ConfinedOnly && decoderTrust() != DecoderTrust::Confined)
        throw Failure(std::string(row->name) + " files are only decoded in a worker process");
    switch (row ? row->decoder : formats::Decoder::None) {
    case formats::Decoder::VipsJpeg: return "jpegload_buffer";
    case formats::Decoder::VipsPng: return "pngload_buffer";
    case formats::Decoder::VipsGif: return "gifload_buffer";
    case formats::Decoder::VipsTiff: return "tiffload_buffer";
    // libheif reads only the boxes for the header and decodes nothing until pixels are asked
    // for, so the pixel-count check below comes before any decoding, as for the others. So
    // do librsvg (it parses the document but draws nothing) and poppler (the first page's
    // size only, whatever the number of pages).
    case formats::Decoder::VipsWebp: return "webpload_buffer";
    case formats::Decoder::VipsHeif: vips_util::needModule("heif"); return "heifload_buffer";
    case formats::Decoder::VipsJxl: vips_util::needModule("jxl"); return "jxlload_buffer";
    case formats::Decoder::VipsSvg: return "svgload_buffer";
    case formats::Decoder::VipsPdf: vips_util::needModule("poppler"); return "pdfload_buffer";
    case formats::Decoder::OwnBmp:  // our own decoders (readHeader and openPicture call them)
    case formats::Decoder::LibRaw:
    case formats::Decoder::None: break;
    }
    return nullptr;
}

bool firstFrameOnly(Format format)
{
    const formats::Row* row = formats::rowOf(format);
    return row && row->frames == formats::Frames::FirstOnly;
}

vips::VOption* baseOptions(bool sequential, Format format = Format::Unknown)
{
    // A truncated or corrupt file fails with the decoder's reason instead of giving a picture
    // padded with grey; harmless oddities (warnings) are tolerated. libjpeg's warnings are
    // not harmless: each says that entropy-coded data was corrupt or missing and that the
    // blocks it would have given are grey ("Corrupt JPEG data: premature end of data
    // segment"), so a JPEG fails on them.
    const VipsFailOn failOn = format == Format::Jpeg ? VIPS_FAIL_ON_WARNING : VIPS_FAIL_ON_ERROR;
    auto* options = VImage::option()->set("fail_on", failOn);
    if (sequential)
        options->set("access", VIPS_ACCESS_SEQUENTIAL);
    return options;
}

int intField(const VImage& image, const char* name, int fallback)
{
    return image.get_typeof(name) ? image.get_int(name) : fallback;
}

void checkPixels(std::uint64_t width, std::uint64_t height, std::uint64_t frames)
{
    if (width * height * frames > maxPixels())
        throw Failure("the picture is larger than " + std::to_string(maxPixels()) + " pixels");
}

// A JPEG file ends its compressed data with an end-of-image marker; within the data an 0xFF
// byte is always followed by 0x00 or a restart marker. So a file without FF D9 after its
// first scan header was cut short. (libjpeg notices too, but reports it only as a warning
// that does not always stop libvips' threaded pipelines.)
bool jpegIsComplete(const std::uint8_t* data, std::size_t size)
{
    std::size_t pos = 2;
    while (pos + 4 <= size) {
        if (data[pos] != 0xFF)
            return false;
        const std::uint8_t marker = data[pos + 1];
        if (marker == 0xFF) {
            ++pos;  // fill byte
            continue;
        }
        if (marker == 0xDA)
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9)) {
            pos += 2;
            continue;
        }
        pos += 2 + (std::size_t(data[pos + 2]) << 8 | data[pos + 3]);
    }
    if (pos + 4 > size)
        return false;
    for (std::size_t end = size - 1; end > pos + 1; --end)
        if (data[end] == 0xD9 && data[end - 1] == 0xFF)
            return true;
    return false;
}

}  // namespace

SourceInfo readHeader(const std::uint8_t* data, std::size_t size, Format format)
{
    SourceInfo info;
    info.format = format;
    if (format == Format::Bmp) {
        const codecs::bmp::Header header = codecs::bmp::readHeader(data, size);
        info.width = header.width;
        info.height = header.height;
    } else if (format == Format::CameraRaw) {
        info = readCameraRawHeader(data, size);
    } else {
        if (format == Format::Jpeg && !jpegIsComplete(data, size))
            throw Failure("the JPEG file is truncated");
        const char* loader = loaderOf(format);
        if (!loader)
            throw Failure("not a supported image format");
        VImage image = vips_util::loadFromBytes(loader, data, size, baseOptions(true));
        info.width = image.width();
        info.height = image.height();
        // A PDF's n-pages counts the whole document; only its first page is ever read.
        info.frames = firstFrameOnly(format) ? 1 : std::max(1, intField(image, "n-pages", 1));
        info.orientation = std::clamp(intField(image, "orientation", 1), 1, 8);
    }
    checkPixels(std::uint64_t(info.width), std::uint64_t(info.height), 1);
    return info;
}

VImage openPicture(const std::uint8_t* data, std::size_t size, const SourceInfo& info,
                   const LoadRequest& request)
{
    const bool allFrames = request.allFrames && info.frames > 1;
    checkPixels(std::uint64_t(info.width), std::uint64_t(info.height), allFrames ? info.frames : 1);
    if (info.format == Format::Bmp)
        return decodeBmp(data, size);
    if (info.format == Format::CameraRaw)
        return developCameraRaw(data, size);
    const char* loader = loaderOf(info.format);
    if (!loader)
        throw Failure("not a supported image format");
    auto* options = baseOptions(!request.randomAccess, info.format);
    if (info.format == Format::Jpeg) {
        options->set("shrink", request.jpegShrink);
    } else if ((info.format == Format::Svg || info.format == Format::Pdf) && request.drawScale != 1.0) {
        options->set("scale", request.drawScale);
    } else if (allFrames) {
        options->set("n", -1);
    }
    if (allFrames &&
        (info.format == Format::Tiff || info.format == Format::Heif || info.format == Format::Avif)) {
        // The pages of a TIFF or HEIF file may differ in size; then only the first one is kept.
        try {
            return vips_util::loadFromBytes(loader, data, size, options);
        } catch (const vips::VError&) {
            return vips_util::loadFromBytes(loader, data, size, baseOptions(!request.randomAccess));
        }
    }
    return vips_util::loadFromBytes(loader, data, size, options);
}

}  // namespace quarbel::imageservice
