#include "jobs/imageservice/vips/CameraRaw.h"

#include "codecs/raw/CameraRaw.h"
#include "jobs/imageservice/vips/Vips.h"

#include <memory>
#include <span>
#include <vector>

namespace quarbel::imageservice {

namespace {

using vips::VImage;
namespace raw = codecs::raw;

raw::Limits limits()
{
    return {decoderTrust() == DecoderTrust::Confined ? raw::Trust::Confined : raw::Trust::InProcess,
            maxPixels()};
}

VImage pictureOf(raw::Picture picture)
{
    const codecs::PixelView view =
        codecs::tightView(picture.pixels, picture.width, picture.height, picture.bands);
    const auto interpretation = picture.bands == 1 ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB;
    VImage image = vips_util::adopt(view, std::move(picture.owner))
                       .copy(VImage::option()->set("interpretation", interpretation));
    image.set("orientation", picture.orientation);
    if (picture.metadata.exif) {
        // As JPEG files carry it, which is what the libvips savers expect to find.
        codecs::Bytes exif = {'E', 'x', 'i', 'f', 0, 0};
        const codecs::Bytes block = codecs::exif::encode(*picture.metadata.exif);
        exif.insert(exif.end(), block.begin(), block.end());
        vips_image_set_blob_copy(image.get_image(), "exif-data", exif.data(), exif.size());
    }
    return image;
}

// The embedded JPEG preview decoded at the largest of JPEG's cheap scales (1/8, 1/4, 1/2)
// that still covers width x height; nothing when it claims more than the pixel limit.
VImage jpegPreview(const std::vector<std::uint8_t>& jpeg, int width, int height)
{
    auto load = [&](int shrink) {
        return vips_util::loadFromBytes(
            "jpegload_buffer", jpeg.data(), jpeg.size(),
            VImage::option()->set("fail_on", VIPS_FAIL_ON_ERROR)->set("shrink", shrink));
    };
    const VImage header = load(1);
    if (std::uint64_t(header.width()) * std::uint64_t(header.height()) > maxPixels())
        return VImage();
    int shrink = 1;
    for (int s : {8, 4, 2})
        if (header.width() / s >= width && header.height() / s >= height) {
            shrink = s;
            break;
        }
    return load(shrink).copy_memory();
}

}  // namespace

SourceInfo readCameraRawHeader(const std::uint8_t* data, std::size_t size)
{
    const raw::Header header = raw::readHeader({data, size}, limits());
    SourceInfo info;
    info.format = Format::CameraRaw;
    info.width = header.width;
    info.height = header.height;
    info.orientation = header.orientation;
    return info;
}

VImage developCameraRaw(const std::uint8_t* data, std::size_t size)
{
    return pictureOf(raw::develop({data, size}, limits()));
}

VImage openCameraRawPreview(std::span<const std::uint8_t> bytes, int width, int height)
{
    raw::EmbeddedPreview embedded = raw::embeddedPreview(bytes, limits());
    const bool turned = embedded.orientation >= 5;
    const int storedW = turned ? height : width, storedH = turned ? width : height;
    VImage image;
    if (!embedded.jpeg.empty()) {
        try {
            image = jpegPreview(embedded.jpeg, storedW, storedH);
        } catch (const vips::VError&) {
            image = VImage();  // a damaged preview: develop instead
        }
    } else if (!embedded.rgb.empty()) {
        auto pixels = std::make_shared<std::vector<std::uint8_t>>(std::move(embedded.rgb));
        image =
            vips_util::adopt(codecs::tightView(pixels->data(), embedded.width, embedded.height, 3), pixels);
    }
    if (image.get_image() && image.width() >= storedW && image.height() >= storedH &&
        (image.bands() == 3 || image.bands() == 1)) {
        image = image.copy(VImage::option()->set(
            "interpretation", image.bands() == 1 ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB));
        image.set("orientation", embedded.orientation);
        return image;
    }
    return pictureOf(raw::develop(bytes, limits(), raw::Size::Half));
}

}  // namespace quarbel::imageservice
