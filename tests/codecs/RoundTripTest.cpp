// Each of our encoders takes a pixel view with padded rows, in every band count it accepts,
// and another decoder gives back every sample; the BMP decoder gives back what Qt reads.

#include "codecs/Failure.h"
#include "codecs/bmp/Bmp.h"
#include "codecs/gif/GifEncoder.h"
#include "codecs/png/PngEncoder.h"
#include "codecs/tiff/TiffWriter.h"

#include <vips/vips8>

#include <QImage>

#include <gtest/gtest.h>

#include <random>

namespace quarbel::codecs {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Picture {
    Bytes storage;
    PixelView view;
};

// Random samples in rows padded by 5 bytes; `levels` distinct values per sample.
Picture picture(int width, int height, int bands, int levels, unsigned seed)
{
    Picture p;
    const std::size_t stride = std::size_t(width) * std::size_t(bands) + 5;
    p.storage.assign(stride * std::size_t(height), 0xEE);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (std::size_t i = 0; i < std::size_t(width) * std::size_t(bands); ++i)
            p.storage[stride * std::size_t(y) + i] =
                std::uint8_t(random() % unsigned(levels) * (255 / (levels - 1)));
    p.view = {p.storage.data(), width, height, bands, stride};
    return p;
}

// The file decoded by libvips, as samples without padding.
Bytes decodedByVips(const Bytes& file, int& bands)
{
    vips::VImage image = vips::VImage::new_from_buffer(file.data(), file.size(), "");
    image = image.copy_memory();
    bands = image.bands();
    const auto* data = static_cast<const std::uint8_t*>(image.data());
    return Bytes(data, data + std::size_t(image.width()) * std::size_t(image.height()) * std::size_t(bands));
}

Bytes samplesOf(const PixelView& view)
{
    Bytes out;
    for (int y = 0; y < view.height; ++y)
        out.insert(out.end(), view.row(y), view.row(y) + view.rowBytes());
    return out;
}

class Codecs : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() { VIPS_INIT("codecs_tests"); }
};

TEST_P(Codecs, PngGivesBackEverySample)
{
    const int bands = GetParam();
    // Many levels: no palette, so the file keeps the bands it was given.
    const Picture p = picture(37, 23, bands, 200, 1);
    int decodedBands = 0;
    EXPECT_EQ(decodedByVips(png::encode(p.view), decodedBands), samplesOf(p.view));
    EXPECT_EQ(decodedBands, bands);
}

TEST_P(Codecs, TiffGivesBackEverySampleWhateverRowsArriveTogether)
{
    const int bands = GetParam();
    const Picture p = picture(41, 30, bands, 256, 2);
    tiff::Layout layout;
    layout.width = 41;
    layout.pageHeight = 30;
    layout.samples = bands;
    tiff::TiffWriter writer(layout);
    for (int top = 0, count = 1; top < 30; top += count, count += 3)
        writer.add(p.view.rows(top, std::min(count, 30 - top)));
    int decodedBands = 0;
    EXPECT_EQ(decodedByVips(writer.take(), decodedBands), samplesOf(p.view));
    EXPECT_EQ(decodedBands, bands);
}

TEST_P(Codecs, GifOfFewColoursGivesBackEveryPixel)
{
    const int bands = GetParam();
    if (bands == 2 || bands == 4)
        GTEST_SKIP() << "GIF transparency is one bit; the alpha tests live with the GIF writer";
    const Picture p = picture(33, 17, bands, 5, 3);  // 5 or 125 colours
    int decodedBands = 0;
    Bytes back = decodedByVips(gif::encode(p.view), decodedBands);
    const Bytes expected = samplesOf(p.view);
    ASSERT_EQ(back.size() / std::size_t(decodedBands), expected.size() / std::size_t(bands));
    for (std::size_t i = 0, j = 0; j < expected.size();
         i += std::size_t(decodedBands), j += std::size_t(bands))
        ASSERT_EQ(back[i], expected[j]) << "pixel " << j / std::size_t(bands);
}

INSTANTIATE_TEST_SUITE_P(Bands, Codecs, ::testing::Values(1, 2, 3, 4));

TEST(BmpCodec, WrittenFilesReadBackByQtAndByOurDecoder)
{
    for (int bands : {1, 3}) {
        const Picture p = picture(7, 5, bands, 256, 4);
        const Bytes file = bmp::encode(p.view);
        const QImage qt =
            QImage::fromData(file.data(), int(file.size()), "BMP").convertToFormat(QImage::Format_RGB888);
        const bmp::Decoded ours = bmp::decode(file.data(), file.size());
        ASSERT_EQ(qt.width(), 7);
        ASSERT_EQ(ours.pixels.width, 7);
        ASSERT_EQ(ours.pixels.bands, 3);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                for (int c = 0; c < 3; ++c) {
                    const std::uint8_t expected = p.view.row(y)[x * bands + (bands == 3 ? c : 0)];
                    EXPECT_EQ(qt.constScanLine(y)[x * 3 + c], expected);
                    EXPECT_EQ(ours.pixels.row(y)[x * 3 + c], expected);
                }
    }
}

TEST(BmpCodec, ImpossibleHeadersFailWithAReason)
{
    Bytes file = bmp::encode(picture(4, 4, 3, 256, 5).view);
    EXPECT_THROW(bmp::readHeader(file.data(), 20), Failure);
    file[18] = file[19] = file[20] = 0;  // width 0
    file[21] = 0;
    EXPECT_THROW(bmp::readHeader(file.data(), file.size()), Failure);
}

}  // namespace
}  // namespace quarbel::codecs
