// The PNG writer on a small fuzzed picture with a fuzzed profile and metadata: Qt's PNG
// reader must give back exactly the pixels written.
#include "FuzzSupport.h"

#include "codecs/png/PngEncoder.h"

#include <QImage>

using namespace quarbel;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLibraries();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    codecs::png::Options options;
    options.profile = fuzz::takeProfile(input);
    options.metadata = fuzz::takeMetadata(input);
    const fuzz::Picture picture = fuzz::takePicture(input);

    const fuzz::Bytes file = codecs::png::encode(picture.view(), options);
    QImage image;
    FUZZ_CHECK(image.loadFromData(file.data(), int(file.size()), "PNG"));
    FUZZ_CHECK(image.width() == picture.width && image.height() == picture.height);
    image = image.convertToFormat(QImage::Format_RGBA8888);
    const fuzz::Bytes expected = picture.rgba();
    for (int y = 0; y < picture.height; ++y) {
        const std::size_t row = std::size_t(picture.width) * 4;
        FUZZ_CHECK(std::equal(expected.begin() + std::ptrdiff_t(row * std::size_t(y)),
                              expected.begin() + std::ptrdiff_t(row * std::size_t(y + 1)),
                              image.constScanLine(y)));
    }
    return 0;
}
