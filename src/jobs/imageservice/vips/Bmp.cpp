#include "jobs/imageservice/vips/Bmp.h"

#include "codecs/bmp/Bmp.h"
#include "jobs/imageservice/vips/SinkOrder.h"
#include "jobs/imageservice/vips/Vips.h"

#include <exception>

namespace quarbel::imageservice {

namespace {

struct Sink {
    codecs::bmp::Writer& writer;
    std::exception_ptr error;
};

int writeRows(VipsRegion* region, VipsRect* area, void* a)
{
    auto* sink = static_cast<Sink*>(a);
    const vips_util::SinkTurn turn(sink);
    try {
        sink->writer.add(vips_util::viewOf(region, *area), area->top);
        return 0;
    } catch (...) {
        sink->error = std::current_exception();
        return -1;
    }
}

}  // namespace

vips::VImage decodeBmp(const std::uint8_t* data, std::size_t size)
{
    codecs::bmp::Decoded decoded = codecs::bmp::decode(data, size);
    vips::VImage image = vips_util::adopt(decoded.pixels, std::move(decoded.owner));
    // Set on the picture itself rather than through a copy, so that it stays a picture in
    // memory: writers that need all pixels at once then take them as they are.
    image.get_image()->Type = VIPS_INTERPRETATION_sRGB;
    return image;
}

std::vector<std::uint8_t> encodeBmp(vips::VImage image, const codecs::CancelToken* cancel)
{
    const int bands = image.bands();
    if (image.format() != VIPS_FORMAT_UCHAR || (bands != 1 && bands != 3))
        throw vips_util::Failure("internal error: BMP output needs 8-bit RGB");
    codecs::bmp::Writer writer(image.width(), image.height(), cancel);
    Sink sink{writer, nullptr};
    int failed;
    {
        const vips_util::SinkEvaluation evaluation(&sink);
        failed = vips_sink_disc(image.get_image(), writeRows, &sink);
    }
    if (failed) {
        if (sink.error)
            std::rethrow_exception(sink.error);
        throw vips::VError();
    }
    return writer.take();
}

}  // namespace quarbel::imageservice
