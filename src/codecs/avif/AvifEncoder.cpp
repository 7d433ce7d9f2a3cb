#include "codecs/avif/AvifEncoder.h"

#include "codecs/avif/EncodeGate.h"
#include "codecs/exif/Exif.h"

#include <avif/avif.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <thread>

namespace quarbel::codecs::avif {

namespace {

// aom's speed (cpu-used 0 slowest .. 9 fastest). A 12-megapixel photo at quality 75 through
// libheif, which runs aom at 9 minus its effort (seconds on the shared 2-core machine):
//   speed 9: 3.1 s, 47.45 dB, 1.64 MB   8: 5.5 s, 47.53 dB   7: 8.5 s, 47.61 dB
//   6: 14.6 s, 47.70 dB, 1.69 MB
// Each step buys less than a tenth of a decibel for another few seconds a picture.
constexpr int kSpeed = 9;
constexpr int kLargestSide = 65536;  // AV1's frame size field
constexpr int kMostThreads = 64;     // aom refuses more

// "JPEG Quality" 1..100 as aom's constant-quality level 63..0 (libheif's mapping, which
// earlier files of ours were written with).
int cqLevelOf(int quality)
{
    quality = std::clamp(quality, 1, 100);
    return ((100 - quality) * 63 + 50) / 100;
}

std::string reasonOf(avifResult result, const avifDiagnostics& diag)
{
    std::string reason = avifResultToString(result);
    if (diag.error[0])
        reason += std::string(" (") + diag.error + ")";
    return reason;
}

void check(avifResult result, const char* step, const avifDiagnostics* diag = nullptr)
{
    if (result == AVIF_RESULT_OK)
        return;
    if (result == AVIF_RESULT_OUT_OF_MEMORY)
        throw std::bad_alloc();
    avifDiagnostics none{};
    throw Failure(std::string("the AVIF file could not be written: ") + step + ": " +
                  reasonOf(result, diag ? *diag : none));
}

// Grey samples need no conversion: with R = G = B the BT.601 matrix gives Y = grey and
// neutral chroma.
void fromGrey(avifImage* image, const PixelView& picture, const CancelToken* cancel)
{
    check(avifImageAllocatePlanes(image, picture.hasAlpha() ? AVIF_PLANES_ALL : AVIF_PLANES_YUV), "planes");
    for (int y = 0; y < picture.height; ++y) {
        if ((y & 255) == 0)
            checkCancel(cancel);
        const std::uint8_t* in = picture.row(y);
        std::uint8_t* luma = image->yuvPlanes[AVIF_CHAN_Y] + std::size_t(y) * image->yuvRowBytes[AVIF_CHAN_Y];
        std::uint8_t* alpha =
            picture.hasAlpha() ? image->alphaPlane + std::size_t(y) * image->alphaRowBytes : nullptr;
        for (int x = 0; x < picture.width; ++x) {
            luma[x] = in[x * picture.bands];
            if (alpha)
                alpha[x] = in[x * picture.bands + 1];
        }
    }
    const std::uint32_t chromaHeight = (image->height + 1) / 2;
    for (int plane : {AVIF_CHAN_U, AVIF_CHAN_V})
        std::memset(image->yuvPlanes[plane], 128, std::size_t(image->yuvRowBytes[plane]) * chromaHeight);
}

void fromColour(avifImage* image, const PixelView& picture)
{
    if (picture.stride > std::numeric_limits<std::uint32_t>::max())
        throw Failure("the picture is too wide for an AVIF file");
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, image);
    rgb.format = picture.hasAlpha() ? AVIF_RGB_FORMAT_RGBA : AVIF_RGB_FORMAT_RGB;
    rgb.pixels = const_cast<std::uint8_t*>(picture.data);  // only read
    rgb.rowBytes = std::uint32_t(picture.stride);
    // libyuv's conversion is faster but coarse: 1.5 dB less on some photos and screenshots
    // of the benchmark's corpus (photo17.jpg 44.09 against 45.89 dB, shot02.png 45.05
    // against 46.52 dB) for files no smaller.
    rgb.avoidLibYUV = AVIF_TRUE;
    check(avifImageRGBToYUV(image, &rgb), "colour conversion");
}

bool describesRgb(const Bytes& profile)
{
    return profile.size() >= 20 && std::memcmp(&profile[16], "RGB ", 4) == 0;
}

struct EncoderFree {
    void operator()(avifEncoder* encoder) const { avifEncoderDestroy(encoder); }
};

}  // namespace

void Yuv::Free::operator()(avifImage* image) const { avifImageDestroy(image); }

Yuv::Yuv() = default;
Yuv::~Yuv() = default;
Yuv::Yuv(Yuv&&) noexcept = default;
Yuv& Yuv::operator=(Yuv&&) noexcept = default;

Yuv toYuv(const PixelView& picture, const CancelToken* cancel)
{
    if (!picture.data || picture.bands < 1 || picture.bands > 4 || picture.width < 1 || picture.height < 1 ||
        picture.stride < picture.rowBytes())
        throw Failure("internal error: AVIF output needs 8-bit pixels, 1 to 4 bands");
    if (picture.width > kLargestSide || picture.height > kLargestSide)
        throw Failure("an AVIF file cannot hold a picture of " + std::to_string(picture.width) + " x " +
                      std::to_string(picture.height) + " pixels");
    checkCancel(cancel);
    Yuv yuv;
    yuv.m_image.reset(avifImageCreate(std::uint32_t(picture.width), std::uint32_t(picture.height), 8,
                                      AVIF_PIXEL_FORMAT_YUV420));
    if (!yuv.m_image)
        throw std::bad_alloc();
    avifImage* image = yuv.m_image.get();
    image->yuvRange = AVIF_RANGE_FULL;
    image->colorPrimaries = AVIF_COLOR_PRIMARIES_UNSPECIFIED;
    image->transferCharacteristics = AVIF_TRANSFER_CHARACTERISTICS_UNSPECIFIED;
    image->matrixCoefficients = AVIF_MATRIX_COEFFICIENTS_BT601;
    if (picture.bands >= 3)
        fromColour(image, picture);
    else
        fromGrey(image, picture, cancel);
    checkCancel(cancel);
    return yuv;
}

Bytes encode(Yuv picture, const Options& options, const CancelToken* cancel)
{
    avifImage* image = picture.image();
    if (!image || !image->yuvPlanes[AVIF_CHAN_Y])
        throw Failure("internal error: no picture to write as AVIF");
    if (describesRgb(options.profile))
        avifImageSetProfileICC(image, options.profile.data(), options.profile.size());
    if (options.metadata.exif) {
        // Written as it describes the picture (orientation 1 once turned); libavif reads the
        // orientation from it, which then asks for no turn of its own.
        const Bytes exif = exif::encode(*options.metadata.exif);
        avifImageSetMetadataExif(image, exif.data(), exif.size());
    }
    if (!options.metadata.xmp.empty())
        avifImageSetMetadataXMP(image, options.metadata.xmp.data(), options.metadata.xmp.size());

    std::unique_ptr<avifEncoder, EncoderFree> encoder(avifEncoderCreate());
    if (!encoder)
        throw std::bad_alloc();
    encoder->codecChoice = AVIF_CODEC_CHOICE_AOM;
    encoder->maxThreads = options.threads > 0
                              ? options.threads
                              : std::clamp(int(std::thread::hardware_concurrency()), 1, kMostThreads);
    encoder->speed = kSpeed;
    encoder->minQuantizer = encoder->minQuantizerAlpha = AVIF_QUANTIZER_BEST_QUALITY;
    encoder->maxQuantizer = encoder->maxQuantizerAlpha = AVIF_QUANTIZER_WORST_QUALITY;
    const std::string level = std::to_string(cqLevelOf(options.quality));
    avifEncoderSetCodecSpecificOption(encoder.get(), "end-usage", "q");  // colour and alpha alike
    avifEncoderSetCodecSpecificOption(encoder.get(), "cq-level", level.c_str());

    avifRWData output = AVIF_DATA_EMPTY;
    avifResult result;
    {
        const EncodeGate gate;
        checkCancel(cancel);
        // aom offers no way to stop an encode part-way: a cancel waits for this picture.
        result = avifEncoderWrite(encoder.get(), image, &output);
    }
    picture = Yuv();
    const avifDiagnostics diag = encoder->diag;
    encoder.reset();
    if (result != AVIF_RESULT_OK) {
        avifRWDataFree(&output);
        check(result, "encoding", &diag);
    }
    Bytes file;
    try {
        file.assign(output.data, output.data + output.size);
    } catch (...) {
        avifRWDataFree(&output);
        throw;
    }
    avifRWDataFree(&output);
    checkCancel(cancel);
    return file;
}

}  // namespace quarbel::codecs::avif
