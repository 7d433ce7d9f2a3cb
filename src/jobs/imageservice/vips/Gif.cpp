#include "jobs/imageservice/vips/Gif.h"

#include "codecs/gif/GifEncoder.h"
#include "jobs/imageservice/vips/Pixels.h"
#include "jobs/imageservice/vips/Vips.h"

#include <algorithm>

namespace quarbel::imageservice {

namespace {

using vips::VImage;

// Each frame's display time in centiseconds: libvips gives milliseconds per frame ("delay"),
// older pictures one time for all in centiseconds ("gif-delay").
std::vector<int> delaysOf(const VImage& image, int frames)
{
    std::vector<int> delays(std::size_t(frames), codecs::gif::kDefaultDelay);
    if (image.get_typeof("delay")) {
        const std::vector<int> ms = image.get_array_int("delay");
        for (std::size_t i = 0; i < delays.size() && !ms.empty(); ++i)
            delays[i] = (std::max(0, ms[std::min(i, ms.size() - 1)]) + 5) / 10;
    } else if (image.get_typeof("gif-delay")) {
        std::fill(delays.begin(), delays.end(), std::max(0, image.get_int("gif-delay")));
    }
    for (int& d : delays)
        d = std::min(d, 0xFFFF);
    return delays;
}

// libvips' "loop": how many times the animation plays, 0 for ever.
int loopOf(const VImage& image) { return image.get_typeof("loop") ? std::max(0, image.get_int("loop")) : 0; }

}  // namespace

std::vector<std::uint8_t> encodeGif(VImage image, const codecs::CancelToken* cancel)
{
    if (image.format() != VIPS_FORMAT_UCHAR || image.bands() < 1 || image.bands() > 4)
        throw vips_util::Failure("internal error: GIF output needs 8-bit grey or sRGB pixels");
    codecs::gif::Options options;
    options.frames = pixels::pageCount(image);
    options.delays = delaysOf(image, options.frames);
    options.loop = loopOf(image);
    options.cancel = cancel;
    // The decoded pixels once in memory; they go as soon as every pixel has its index.
    image = image.copy_memory();
    codecs::gif::Indexed indexed = codecs::gif::index(vips_util::viewOf(image), options);
    image = VImage();
    return codecs::gif::write(indexed, cancel);
}

}  // namespace quarbel::imageservice
