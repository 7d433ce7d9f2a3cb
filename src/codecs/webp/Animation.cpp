// Animations go through WebPAnimEncoder, which finds what changed between frames on ARGB
// canvases: frames are imported as ARGB (a frame in YUV planes would be turned back into
// ARGB with a loss). Frames of an animation are small beside still photographs.

#include "codecs/webp/Container.h"
#include "codecs/webp/Planes.h"
#include "codecs/webp/Settings.h"
#include "codecs/webp/WebpWriter.h"

#include <webp/mux.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

namespace quarbel::codecs::webp {

namespace {

// A frame's time when the picture gives none, as GIF viewers show it.
constexpr int kDefaultDelay = 100;

class Frame {
public:
    Frame(int width, int height)
    {
        if (!WebPPictureInit(&m_picture))
            throw Failure("the WebP library is not the version the program was built with");
        m_picture.width = width;
        m_picture.height = height;
        m_picture.use_argb = 1;
    }
    ~Frame() { WebPPictureFree(&m_picture); }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    WebPPicture& import(const PixelView& frame, Bytes& rgb)
    {
        PixelView view = frame;
        if (frame.bands < 3) {
            const int bands = rgbBands(frame.bands);
            rgb.resize(frame.pixels() * std::size_t(bands));
            for (int y = 0; y < frame.height; ++y)
                copyAsRgb(frame.row(y), frame.bands, frame.width,
                          rgb.data() + std::size_t(y) * std::size_t(frame.width) * std::size_t(bands));
            view = tightView(rgb.data(), frame.width, frame.height, bands);
        }
        const int stride = int(view.stride);
        if (!(view.bands == 4 ? WebPPictureImportRGBA(&m_picture, view.data, stride)
                              : WebPPictureImportRGB(&m_picture, view.data, stride)))
            fail(m_picture.error_code);
        return m_picture;
    }

private:
    WebPPicture m_picture;
};

// libwebp blends a lossy frame over the frame before it where their pixels look alike, and a
// partly transparent pixel blended over its like comes out more opaque (alpha 209 over 209
// shows as 247). Key frames are never blended: an animation with such pixels is written as key
// frames only (GIF sources have none: their pixels are opaque or transparent).
bool partlyTransparent(const PixelView& frames)
{
    if (!frames.hasAlpha())
        return false;
    for (int y = 0; y < frames.height; ++y)
        for (std::size_t at = std::size_t(frames.bands) - 1; at < frames.rowBytes();
             at += std::size_t(frames.bands))
            if (frames.row(y)[at] != 0 && frames.row(y)[at] != 255)
                return true;
    return false;
}

Bytes assembled(WebPAnimEncoder* encoder)
{
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAssemble(encoder, &data)) {
        WebPDataClear(&data);
        throw Failure(std::string("the WebP animation could not be put together: ") +
                      WebPAnimEncoderGetError(encoder));
    }
    return take(data);
}

}  // namespace

Bytes encode(const Animation& animation, const Options& options)
{
    const PixelView& all = animation.frames;
    const int page = animation.pageHeight;
    if (page < 1 || all.height % page || all.bands < 1 || all.bands > 4)
        throw Failure("internal error: frames that do not fit a WebP animation");
    checkSize(all.width, page);

    WebPAnimEncoderOptions animationOptions;
    if (!WebPAnimEncoderOptionsInit(&animationOptions))
        throw Failure("the WebP library is not the version the program was built with");
    animationOptions.anim_params.loop_count = std::clamp(animation.loop, 0, 0xFFFF);
    if (partlyTransparent(all))
        animationOptions.kmax = 1;  // every frame a key frame
    const std::unique_ptr<WebPAnimEncoder, decltype(&WebPAnimEncoderDelete)> encoder(
        WebPAnimEncoderNew(all.width, page, &animationOptions), WebPAnimEncoderDelete);
    if (!encoder)
        throw Failure("not enough memory for the WebP animation");

    const WebPConfig config = configFor(options.quality);
    Frame frame(all.width, page);
    Bytes rgb;
    long long timestamp = 0;
    const int frames = all.height / page;
    for (int f = 0; f < frames; ++f) {
        checkCancel(options.cancel);
        WebPPicture& picture = frame.import(all.rows(f * page, page), rgb);
        watch(picture, options.cancel);
        if (!WebPAnimEncoderAdd(encoder.get(), &picture, int(timestamp), &config)) {
            checkCancel(options.cancel);
            throw Failure(std::string("the WebP encoder refused a frame: ") +
                          WebPAnimEncoderGetError(encoder.get()));
        }
        const int delay =
            std::size_t(f) < animation.delays.size() ? animation.delays[std::size_t(f)] : kDefaultDelay;
        timestamp = std::min<long long>(timestamp + std::max(0, delay), INT_MAX);
    }
    if (!WebPAnimEncoderAdd(encoder.get(), nullptr, int(timestamp), nullptr))
        throw Failure(std::string("the WebP encoder refused the animation: ") +
                      WebPAnimEncoderGetError(encoder.get()));
    return withChunks(assembled(encoder.get()), options);
}

}  // namespace quarbel::codecs::webp
