// The AVIF writer on a small fuzzed picture with a fuzzed profile and metadata: libavif must
// decode it at its size, with the mean alpha and (where colours can be compared) the mean
// luma near the source's, and carry the XMP packet and EXIF block as they were given.
#include "FuzzSupport.h"

#include "codecs/avif/AvifEncoder.h"

#include <avif/avif.h>

using namespace quarbel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    codecs::avif::Options options;
    options.quality = input.ConsumeIntegralInRange(1, 100);
    options.threads = 1;
    options.profile = fuzz::takeProfile(input);
    options.metadata = fuzz::takeMetadata(input);
    const fuzz::Picture picture = fuzz::takePicture(input, 32);

    const fuzz::Bytes file = codecs::avif::encode(picture.view(), options);

    avifImage* image = avifImageCreateEmpty();
    avifDecoder* decoder = avifDecoderCreate();
    FUZZ_CHECK(avifDecoderReadMemory(decoder, image, file.data(), file.size()) == AVIF_RESULT_OK);
    FUZZ_CHECK(int(image->width) == picture.width && int(image->height) == picture.height);
    FUZZ_CHECK(fuzz::Bytes(image->xmp.data, image->xmp.data + image->xmp.size) == options.metadata.xmp);
    const fuzz::Bytes exif =
        options.metadata.exif ? codecs::exif::encode(*options.metadata.exif) : fuzz::Bytes();
    FUZZ_CHECK(fuzz::Bytes(image->exif.data, image->exif.data + image->exif.size) == exif);

    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, image);
    rgb.format = AVIF_RGB_FORMAT_RGBA;
    rgb.depth = 8;
    avifRGBImageAllocatePixels(&rgb);
    FUZZ_CHECK(avifImageYUVToRGB(image, &rgb) == AVIF_RESULT_OK);
    fuzz::Bytes got(std::size_t(picture.width) * std::size_t(picture.height) * 4);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(got.data() + std::size_t(y) * std::size_t(picture.width) * 4,
                    rgb.pixels + std::size_t(y) * rgb.rowBytes, std::size_t(picture.width) * 4);
    const fuzz::Bytes expected = picture.rgba();
    // Alpha is coded lossily too: at quality 1 a 2 x 2 picture's mean alpha moves by 40. A
    // picture of some size keeps it within a quarter of its range (lost alpha moves it further).
    FUZZ_CHECK(expected.size() < 64 * 4 || std::abs(fuzz::difference(expected, got, 3).shift) < 64);
    FUZZ_CHECK(!fuzz::coloursComparable(expected) || std::abs(fuzz::lumaShift(expected, got)) < 32);
    avifRGBImageFreePixels(&rgb);
    avifDecoderDestroy(decoder);
    avifImageDestroy(image);
    return 0;
}
