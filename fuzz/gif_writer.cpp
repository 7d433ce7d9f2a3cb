// The GIF writer on a small fuzzed picture of one to four frames, read back by Qt's GIF
// reader: every frame at its size, the transparency as written (alpha below half), and a
// picture of few colours exactly.
#include "FuzzSupport.h"

#include "codecs/gif/GifEncoder.h"

#include <QBuffer>
#include <QImageReader>
#include <set>

using namespace quarbel;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLibraries();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    codecs::gif::Options options;
    options.frames = input.ConsumeIntegralInRange(1, 4);
    options.loop = input.ConsumeIntegralInRange(0, 70000);
    for (int i = input.ConsumeIntegralInRange(0, options.frames); i > 0; --i)
        options.delays.push_back(input.ConsumeIntegralInRange(-10, 70000));
    const fuzz::Picture picture = fuzz::takePicture(input, 64, options.frames);
    const int frameHeight = picture.height / options.frames;

    fuzz::Bytes file;
    try {
        file = codecs::gif::encode(picture.view(), options);
    } catch (const codecs::Failure&) {
        return 0;  // what GIF cannot hold: refused
    }
    QByteArray bytes(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "gif");
    FUZZ_CHECK(reader.imageCount() == options.frames);
    QImage first = reader.read();
    FUZZ_CHECK(!first.isNull() && first.width() == picture.width && first.height() == frameHeight);
    for (int i = 1; i < options.frames; ++i) {
        const QImage frame = reader.read();
        FUZZ_CHECK(frame.width() == picture.width && frame.height() == frameHeight);
    }

    // The first frame: transparency below alpha 128, colours exact when there are few.
    first = first.convertToFormat(QImage::Format_RGBA8888);
    const fuzz::Bytes expected = picture.rgba();
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i < expected.size(); i += 4)
        if (expected[i + 3] >= 128)
            colours.insert(std::uint32_t(expected[i]) << 16 | expected[i + 1] << 8 | expected[i + 2]);
    const bool exact = colours.size() < 256;
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* want =
                expected.data() + (std::size_t(y) * std::size_t(picture.width) + std::size_t(x)) * 4;
            const std::uint8_t* got = first.constScanLine(y) + std::size_t(x) * 4;
            FUZZ_CHECK((want[3] >= 128) == (got[3] == 255));
            FUZZ_CHECK(!exact || want[3] < 128 || std::equal(want, want + 3, got));
        }
    return 0;
}
