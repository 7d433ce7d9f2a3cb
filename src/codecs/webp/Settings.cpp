#include "codecs/webp/Settings.h"

#include <string>

namespace quarbel::codecs::webp {

namespace {

// libwebp's lossy settings at quality 75 on the 65 files of bench/run's corpus (first frames,
// 8-bit sRGB), through cwebp (the same libwebp 1.2.4 and the same RGB to YUV conversion), one
// process at a time on the shared 2-core machine (load 10 to 12: CPU seconds are the measure);
// bytes in all, mean PSNR by bench/image_quality:
//   method 0                       38.5 s   41.93 MB   44.24 dB
//   method 1                       45.6 s   38.72 MB   44.26 dB
//   method 2                       57.3 s   39.03 MB   44.32 dB
//   method 3                      104.5 s   37.49 MB   44.41 dB
//   method 4                      101.2 s   37.50 MB   44.42 dB  (libwebp's default, which
//                                                                 ImageMagick, Pillow and
//                                                                 libvips' tools use)
//   method 1, use_sharp_yuv        99.4 s   39.69 MB   44.42 dB
//   method 1, segments 1           44.6 s   45.43 MB   44.38 dB
//   method 1, thread_level 1       42.8 s   38.72 MB   44.26 dB
//   method 1, autofilter (35 files): the same bytes, 0.01 dB less, several times the time
// On this table method 2 looked the fastest within 0.1 dB of the best (method 1, chosen on six
// photographs before, is 0.16 dB behind on the whole corpus); the four-place figures below say
// otherwise. Sharp YUV buys its 0.1 dB with twice the time, more bytes and the whole picture in
// ARGB (the copy this writer exists to avoid); one segment buys little with 17% more bytes;
// sns_strength is left at libwebp's default (with method 3, 40 and 60 both lose PSNR: 44.26 and
// 44.09 dB). thread_level 1 writes the same bytes and analyses the picture in two threads
// (method 3, three interleaved rounds: 30.8, 31.2, 29.3 s against 31.3, 31.6, 30.3 s without).
// The whole corpus again through quarbel-batch --jobs 2 on a quiet machine (load 1 to 2),
// PSNR to four places:
//   method 2   22.0 s   39.03 MB   44.3185 dB      method 3   45.1 s   37.49 MB   44.4144 dB
//   method 4   45.4 s   37.50 MB   44.4233 dB      method 5   47.9 s   30.90 MB   44.3511 dB
//   method 6  153.8 s   29.62 MB   44.4186 dB
// Method 2 is 0.105 dB behind the best, outside the 0.1 dB we allow; method 3 is the fastest
// within it, 0.009 dB behind method 4 with 6 KB fewer bytes. Three interleaved rounds, medians:
// method 2 17.7 s, method 3 38.5 s, method 4 42.1 s, ImageMagick two at a time 44.1 s. Three
// rounds of bench/run to-webp (method 3; the machine sped up from round to round):
//   quarbel 38.6 36.0 33.6 s   Pillow two at a time 38.7 34.2 32.0 s   vips 41.1 34.1 34.8 s
//   ImageMagick two at a time 40.8 38.1 34.1 s   cwebp (60 files) 35.0 31.7 28.8 s
// The peers use method 4, which costs libwebp about what method 3 does, so they take about our
// time: ahead of ImageMagick, within 5% of Pillow and vips. Method 2 would be twice as fast with
// 4% more bytes and 0.1 dB less. Method 5's trellis coding writes 18% fewer bytes for 0.07 dB,
// at about method 4's time: the way to go should smaller files matter more than time. Peak
// memory with method 3: 264 MB.
constexpr int kMethod = 3;

int stillWanted(int /*percent*/, const WebPPicture* picture)
{
    return !isCancelled(static_cast<const CancelToken*>(picture->user_data));
}

}  // namespace

WebPConfig configFor(int quality)
{
    WebPConfig config;
    if (!WebPConfigInit(&config))
        throw Failure("the WebP library is not the version the program was built with");
    config.quality = float(quality);  // checked by the encoder
    config.method = kMethod;
    config.thread_level = 1;
    return config;
}

void watch(WebPPicture& picture, const CancelToken* cancel)
{
    picture.user_data = const_cast<CancelToken*>(cancel);
    picture.progress_hook = cancel ? stillWanted : nullptr;
}

void fail(WebPEncodingError error)
{
    switch (error) {
    case VP8_ENC_ERROR_USER_ABORT: throw Cancelled();
    case VP8_ENC_ERROR_OUT_OF_MEMORY:
    case VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY: throw Failure("not enough memory for the WebP file");
    case VP8_ENC_ERROR_BAD_DIMENSION:
        throw Failure("a WebP file holds at most " + std::to_string(WEBP_MAX_DIMENSION) + " x " +
                      std::to_string(WEBP_MAX_DIMENSION) + " pixels");
    case VP8_ENC_ERROR_PARTITION0_OVERFLOW:
    case VP8_ENC_ERROR_PARTITION_OVERFLOW:
        throw Failure("the picture has too much detail for a WebP file at this quality");
    case VP8_ENC_ERROR_FILE_TOO_BIG: throw Failure("the WebP file would be larger than 4 GiB");
    case VP8_ENC_ERROR_INVALID_CONFIGURATION: throw Failure("the WebP encoder refused its settings");
    default: throw Failure("the WebP encoder failed (libwebp error " + std::to_string(int(error)) + ")");
    }
}

void checkSize(int width, int height)
{
    if (width < 1 || height < 1 || width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION)
        fail(VP8_ENC_ERROR_BAD_DIMENSION);
}

}  // namespace quarbel::codecs::webp
