// The WebP writer on a small fuzzed picture (a still one, or frames stacked as an animation)
// with a fuzzed profile and metadata: libwebp must decode every frame at its size with the
// alpha written (kept losslessly) and, where colours can be compared, the mean luma near the
// source's; and its mux must find the profile, the EXIF block and the XMP packet as given.
#include "FuzzSupport.h"

#include "codecs/webp/WebpWriter.h"

#include <webp/demux.h>
#include <webp/mux.h>

#include <cmath>

using namespace quarbel;

namespace {

constexpr int kDelay = 100;  // milliseconds per frame

// libwebp's animation encoder keeps a pixel of the frame before wherever the new frame's
// differs from it by at most this much (31 at quality 0, 1 at 100), so at a low quality a
// frame after the first may be that much further from its source.
int keptDifference(int quality)
{
    const double q = std::sqrt(quality / 100.0);
    return int(31 * (1 - q) + q + 0.5);
}

bool chunkIs(const WebPMux* mux, const char* fourcc, const fuzz::Bytes& want)
{
    WebPData chunk;
    if (WebPMuxGetChunk(mux, fourcc, &chunk) != WEBP_MUX_OK)
        return want.empty();
    return fuzz::Bytes(chunk.bytes, chunk.bytes + chunk.size) == want;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    codecs::webp::Options options;
    options.quality = input.ConsumeIntegralInRange(0, 100);
    const int frames = input.ConsumeIntegralInRange(1, 3);
    options.profile = fuzz::takeProfile(input);
    options.metadata = fuzz::takeMetadata(input);
    const fuzz::Picture picture = fuzz::takePicture(input, 48, frames);
    const int frameHeight = picture.height / frames;

    fuzz::Bytes file;
    if (frames == 1) {
        file = codecs::webp::encode(picture.view(), options);
    } else {
        const codecs::webp::Animation animation{picture.view(), frameHeight, std::vector<int>(frames, kDelay),
                                                0};
        file = codecs::webp::encode(animation, options);
    }

    const WebPData whole{file.data(), file.size()};
    WebPMux* mux = WebPMuxCreate(&whole, 0);
    FUZZ_CHECK(mux);
    FUZZ_CHECK(chunkIs(mux, "ICCP", options.profile));
    FUZZ_CHECK(chunkIs(mux, "XMP ", options.metadata.xmp));
    FUZZ_CHECK(chunkIs(mux, "EXIF",
                       options.metadata.exif ? codecs::exif::encode(*options.metadata.exif) : fuzz::Bytes()));
    WebPMuxDelete(mux);

    WebPAnimDecoderOptions decoding;
    WebPAnimDecoderOptionsInit(&decoding);
    decoding.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&whole, &decoding);
    FUZZ_CHECK(decoder);
    WebPAnimInfo info;
    FUZZ_CHECK(WebPAnimDecoderGetInfo(decoder, &info));
    FUZZ_CHECK(int(info.canvas_width) == picture.width && int(info.canvas_height) == frameHeight);
    // libwebp shows a frame like the one before it by showing that one longer (frames all
    // alike make a still picture): a decoded frame stands for the source frames up to where
    // its time ends.
    const fuzz::Bytes expected = picture.rgba();
    const std::size_t frameBytes = std::size_t(picture.width) * std::size_t(frameHeight) * 4;
    int timestamp = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        std::uint8_t* pixels = nullptr;
        FUZZ_CHECK(WebPAnimDecoderGetNext(decoder, &pixels, &timestamp));
        const int f = info.frame_count == 1 ? frames - 1 : timestamp / kDelay - 1;
        FUZZ_CHECK(f >= 0 && f < frames);
        const fuzz::Bytes want(expected.begin() + std::ptrdiff_t(frameBytes * std::size_t(f)),
                               expected.begin() + std::ptrdiff_t(frameBytes * std::size_t(f + 1)));
        const fuzz::Bytes got(pixels, pixels + frameBytes);
        FUZZ_CHECK(fuzz::difference(want, got, 3).largest == 0);
        // Lossy WebP codes 16 x 16 blocks, a smaller picture's block padded with copies of its
        // edge, which at a low quality pull its mean: only a picture that fills a block is
        // held to its mean brightness.
        const bool fillsABlock = picture.width >= 16 && frameHeight >= 16;
        const int allowed = 32 + (f > 0 ? keptDifference(options.quality) : 0);
        FUZZ_CHECK(!fillsABlock || !fuzz::coloursComparable(want) ||
                   std::abs(fuzz::lumaShift(want, got)) < allowed);
    }
    FUZZ_CHECK(info.frame_count == 1 || timestamp == kDelay * frames);
    WebPAnimDecoderDelete(decoder);
    return 0;
}
