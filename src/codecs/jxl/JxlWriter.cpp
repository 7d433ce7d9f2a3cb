#include "codecs/jxl/JxlWriter.h"

#include "codecs/Failure.h"
#include "codecs/exif/Exif.h"

#include <jxl/encode_cxx.h>
#include <jxl/thread_parallel_runner_cxx.h>

#include <algorithm>
#include <cmath>
#include <new>

namespace quarbel::codecs::jxl {

namespace {

// libjxl's reasons are codes; these are the ones a caller can do something about.
std::string reasonOf(JxlEncoder* encoder)
{
    switch (JxlEncoderGetError(encoder)) {
    case JXL_ENC_ERR_OOM: return "not enough memory for this picture";
    case JXL_ENC_ERR_JBRD: return "the JPEG file cannot be stored losslessly";
    case JXL_ENC_ERR_BAD_INPUT: return "libjxl refused the picture";
    case JXL_ENC_ERR_NOT_SUPPORTED: return "libjxl cannot write such a picture";
    default: return "libjxl failed";
    }
}

void check(JxlEncoderStatus status, JxlEncoder* encoder)
{
    if (status != JXL_ENC_SUCCESS)
        throw Failure("cannot write the JPEG XL file: " + reasonOf(encoder));
}

struct Encoder {
    JxlEncoderPtr encoder = JxlEncoderMake(nullptr);
    JxlThreadParallelRunnerPtr runner;

    explicit Encoder(int threads)
    {
        if (!encoder)
            throw std::bad_alloc();
        if (threads > 1) {
            runner = JxlThreadParallelRunnerMake(nullptr, std::size_t(threads));
            if (!runner)
                throw std::bad_alloc();
            check(JxlEncoderSetParallelRunner(encoder.get(), JxlThreadParallelRunner, runner.get()),
                  encoder.get());
        }
    }

    Bytes finish()
    {
        Bytes out(64 * 1024);
        std::uint8_t* next = out.data();
        std::size_t room = out.size();
        for (;;) {
            const JxlEncoderStatus status = JxlEncoderProcessOutput(encoder.get(), &next, &room);
            if (status == JXL_ENC_SUCCESS)
                break;
            if (status != JXL_ENC_NEED_MORE_OUTPUT)
                check(status, encoder.get());
            const std::size_t used = std::size_t(next - out.data());
            out.resize(out.size() * 2);
            next = out.data() + used;
            room = out.size() - used;
        }
        out.resize(std::size_t(next - out.data()));
        return out;
    }
};

struct JpegMetadata {
    Bytes exif;  // as JPEG XL's "Exif" box holds it
    Bytes xmp;
};

// The EXIF and XMP of a JPEG file's APP1 segments before its first scan.
JpegMetadata metadataOfJpeg(const std::uint8_t* data, std::size_t size)
{
    static constexpr char kExif[] = "Exif\0";  // and the second NUL that ends the literal
    static constexpr char kXmp[] = "http://ns.adobe.com/xap/1.0/";  // with its NUL
    JpegMetadata found;
    std::size_t pos = 2;
    while (pos + 4 <= size && data[pos] == 0xFF) {
        const std::uint8_t marker = data[pos + 1];
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            pos += 2;
            continue;
        }
        const std::size_t length = std::size_t(data[pos + 2]) << 8 | data[pos + 3];
        if (length < 2 || pos + 2 + length > size)
            break;
        const std::uint8_t* payload = data + pos + 4;
        const std::size_t payloadSize = length - 2;
        if (marker == 0xE1 && found.exif.empty() && payloadSize > sizeof kExif &&
            std::equal(kExif, kExif + sizeof kExif, payload)) {
            found.exif.assign(4, 0);  // the TIFF header's offset within the box
            found.exif.insert(found.exif.end(), payload + sizeof kExif, payload + payloadSize);
        } else if (marker == 0xE1 && found.xmp.empty() && payloadSize > sizeof kXmp &&
                   std::equal(kXmp, kXmp + sizeof kXmp, payload)) {
            found.xmp.assign(payload + sizeof kXmp, payload + payloadSize);
        }
        pos += 2 + length;
    }
    return found;
}

}  // namespace

float distanceOf(int quality)
{
    quality = std::clamp(quality, 1, 100);
    if (quality == 100)
        return 0.0f;
    if (quality >= 30)
        return 0.1f + float(100 - quality) * 0.09f;
    return 6.24f + float(std::pow(2.5, (30 - quality) / 5.0)) / 6.25f;
}

Bytes encode(const PixelView& pixels, const Options& options)
{
    if (pixels.bands < 1 || pixels.bands > 4 || pixels.width < 1 || pixels.height < 1)
        throw Failure("internal error: JPEG XL output needs 8-bit grey or RGB pixels");
    checkCancel(options.cancel);
    const float distance = distanceOf(options.quality);
    const bool lossless = distance == 0.0f;
    Encoder e(options.threads);
    JxlEncoder* encoder = e.encoder.get();

    const bool boxes = options.metadata.exif || !options.metadata.xmp.empty();
    if (boxes) {
        check(JxlEncoderUseContainer(encoder, JXL_TRUE), encoder);
        check(JxlEncoderUseBoxes(encoder), encoder);
    }

    JxlBasicInfo info;
    JxlEncoderInitBasicInfo(&info);
    info.xsize = std::uint32_t(pixels.width);
    info.ysize = std::uint32_t(pixels.height);
    info.bits_per_sample = 8;
    info.num_color_channels = pixels.bands >= 3 ? 3 : 1;
    info.alpha_bits = pixels.hasAlpha() ? 8 : 0;
    info.num_extra_channels = pixels.hasAlpha() ? 1 : 0;
    info.uses_original_profile = lossless ? JXL_TRUE : JXL_FALSE;
    check(JxlEncoderSetBasicInfo(encoder, &info), encoder);

    bool colourSet = false;
    if (!options.profile.empty())
        colourSet = JxlEncoderSetICCProfile(encoder, options.profile.data(), options.profile.size()) ==
                    JXL_ENC_SUCCESS;
    if (!colourSet) {
        JxlColorEncoding srgb;
        JxlColorEncodingSetToSRGB(&srgb, info.num_color_channels == 1 ? JXL_TRUE : JXL_FALSE);
        check(JxlEncoderSetColorEncoding(encoder, &srgb), encoder);
    }

    if (options.metadata.exif) {
        // The box holds the offset of the TIFF header within it (0), then the block.
        Bytes exif(4, 0);
        const Bytes block = exif::encode(*options.metadata.exif);
        exif.insert(exif.end(), block.begin(), block.end());
        check(JxlEncoderAddBox(encoder, "Exif", exif.data(), exif.size(), JXL_FALSE), encoder);
    }
    if (!options.metadata.xmp.empty())
        check(JxlEncoderAddBox(encoder, "xml ", options.metadata.xmp.data(), options.metadata.xmp.size(),
                               JXL_FALSE),
              encoder);
    if (boxes)
        JxlEncoderCloseBoxes(encoder);

    JxlEncoderFrameSettings* frame = JxlEncoderFrameSettingsCreate(encoder, nullptr);
    if (!frame)
        throw std::bad_alloc();
    if (lossless)
        check(JxlEncoderSetFrameLossless(frame, JXL_TRUE), encoder);
    else
        check(JxlEncoderSetFrameDistance(frame, distance), encoder);

    std::vector<std::uint8_t> storage;
    const PixelView tight = packed(pixels, storage);
    const JxlPixelFormat format{std::uint32_t(pixels.bands), JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    check(JxlEncoderAddImageFrame(frame, &format, tight.data, tight.rowBytes() * std::size_t(tight.height)),
          encoder);
    JxlEncoderCloseInput(encoder);
    Bytes out = e.finish();
    checkCancel(options.cancel);
    return out;
}

std::optional<Bytes> recompressJpeg(const std::uint8_t* jpeg, std::size_t size, int threads)
{
    Encoder e(threads);
    JxlEncoder* encoder = e.encoder.get();
    // The reconstruction data, and the file's EXIF and XMP in boxes of their own, where
    // readers look for them (libjxl 0.7 keeps them only inside the reconstruction data).
    const JpegMetadata metadata = metadataOfJpeg(jpeg, size);
    if (JxlEncoderUseContainer(encoder, JXL_TRUE) != JXL_ENC_SUCCESS ||
        JxlEncoderStoreJPEGMetadata(encoder, JXL_TRUE) != JXL_ENC_SUCCESS ||
        JxlEncoderUseBoxes(encoder) != JXL_ENC_SUCCESS)
        return std::nullopt;
    JxlEncoderFrameSettings* frame = JxlEncoderFrameSettingsCreate(encoder, nullptr);
    if (!frame)
        throw std::bad_alloc();
    if (JxlEncoderAddJPEGFrame(frame, jpeg, size) != JXL_ENC_SUCCESS) {
        if (JxlEncoderGetError(encoder) == JXL_ENC_ERR_OOM)
            throw std::bad_alloc();
        return std::nullopt;
    }
    if ((!metadata.exif.empty() && JxlEncoderAddBox(encoder, "Exif", metadata.exif.data(),
                                                    metadata.exif.size(), JXL_FALSE) != JXL_ENC_SUCCESS) ||
        (!metadata.xmp.empty() && JxlEncoderAddBox(encoder, "xml ", metadata.xmp.data(), metadata.xmp.size(),
                                                   JXL_FALSE) != JXL_ENC_SUCCESS))
        return std::nullopt;
    JxlEncoderCloseInput(encoder);
    try {
        return e.finish();
    } catch (const Failure&) {
        return std::nullopt;
    }
}

}  // namespace quarbel::codecs::jxl
