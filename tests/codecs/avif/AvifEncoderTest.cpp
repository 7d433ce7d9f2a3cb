// The AVIF writer through its pixel view, in every band count it takes; libvips' HEIF loader
// reads the files back. Also what it refuses, and that encodes from two threads take turns.

#include "codecs/avif/AvifEncoder.h"
#include "codecs/avif/EncodeGate.h"

#include <vips/vips8>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <latch>
#include <random>
#include <string>
#include <thread>
#include <utility>

namespace quarbel::codecs::avif {
namespace {

struct Picture {
    Bytes storage;
    PixelView view;
};

// Soft colour gradients with a little noise in rows padded by 3 bytes; alpha a ramp.
Picture picture(int width, int height, int bands, int noise = 6)
{
    Picture p;
    const std::size_t stride = std::size_t(width) * std::size_t(bands) + 3;
    p.storage.assign(stride * std::size_t(height), 0xEE);
    std::mt19937 random(unsigned(width * bands));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int b = 0; b < bands; ++b) {
                const bool alpha = b == bands - 1 && (bands == 2 || bands == 4);
                const int base =
                    alpha ? 40 + 200 * x / width : (60 * b + 255 * (x + 2 * y) / (width + 2 * height));
                const int value = base + (alpha || noise == 0 ? 0 : int(random() % unsigned(noise)));
                p.storage[stride * std::size_t(y) + std::size_t(x * bands + b)] =
                    std::uint8_t(std::clamp(value, 0, 255));
            }
    p.view = {p.storage.data(), width, height, bands, stride};
    return p;
}

vips::VImage decoded(const Bytes& file)
{
    static const int started = VIPS_INIT("codecs_avif_tests");
    EXPECT_EQ(started, 0);
    return vips::VImage::new_from_buffer(file.data(), file.size(), "").copy_memory();
}

Bytes fileBytes(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes blob(const vips::VImage& image, const char* name)
{
    if (!image.get_typeof(name))
        return {};
    size_t length = 0;
    const auto* data = static_cast<const std::uint8_t*>(image.get_blob(name, &length));
    return Bytes(data, data + length);
}

// Mean and largest difference between the file's samples and the picture's.
std::pair<double, int> difference(const vips::VImage& back, const PixelView& view)
{
    const auto* samples = static_cast<const std::uint8_t*>(back.data());
    const int bands = back.bands();
    double total = 0;
    int worst = 0;
    for (int y = 0; y < back.height(); ++y)
        for (int x = 0; x < back.width(); ++x)
            for (int c = 0; c < bands; ++c) {
                const int from = c == 3 ? view.bands - 1 : (view.bands >= 3 ? c : 0);
                const int diff = std::abs(int(samples[(std::size_t(y) * back.width() + x) * bands + c]) -
                                          int(view.row(y)[x * view.bands + from]));
                total += diff;
                worst = std::max(worst, diff);
            }
    return {total / (double(back.width()) * back.height() * bands), worst};
}

bool isGrid(const Bytes& file)
{
    const std::string grid = "grid";
    return std::search(file.begin(), file.end(), grid.begin(), grid.end()) != file.end();
}

class AvifBands : public ::testing::TestWithParam<int> {};

TEST_P(AvifBands, ReadBackNearEverySample)
{
    const int bands = GetParam();
    const Picture p = picture(75, 49, bands);  // odd sizes: the last chroma row and column are half
    Options options;
    options.quality = 90;
    const vips::VImage back = decoded(encode(p.view, options));
    ASSERT_EQ(back.width(), 75);
    ASSERT_EQ(back.height(), 49);
    ASSERT_EQ(back.bands(), p.view.hasAlpha() ? 4 : 3);  // grey is written as colour
    const auto [mean, worst] = difference(back, p.view);
    EXPECT_LT(mean, 2.0);
    EXPECT_LT(worst, 32);
}

INSTANTIATE_TEST_SUITE_P(Bands, AvifBands, ::testing::Values(1, 2, 3, 4));

TEST(AvifMetadata, WrittenWhenGivenAndOnlyThen)
{
    const Picture p = picture(16, 16, 3);
    const Bytes srgb = fileBytes("/usr/share/color/icc/colord/sRGB.icc");
    ASSERT_GT(srgb.size(), 128u);
    Bytes grey = srgb;
    for (int i = 0; i < 4; ++i)
        grey.at(16 + std::size_t(i)) = std::uint8_t("GRAY"[i]);

    Options full;
    full.profile = srgb;
    full.metadata.exif = exif::Block{};
    full.metadata.exif->ifd0.push_back({0x010F, 2, 8, Bytes{'Q', 'u', 'a', 'r', 'b', 'e', 'l', 0}});  // Make
    const std::string xmp = "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF/></x:xmpmeta>";
    full.metadata.xmp.assign(xmp.begin(), xmp.end());
    full.metadata.iptc = {0x1C, 2, 25, 0, 2, 'k', 'w'};  // no place for it: left out, no error

    const vips::VImage withAll = decoded(encode(p.view, full));
    EXPECT_EQ(blob(withAll, "icc-profile-data"), srgb);
    EXPECT_EQ(blob(withAll, "xmp-data"), full.metadata.xmp);
    const Bytes exifBack = blob(withAll, "exif-data");
    const auto block = exif::parse(exifBack.data(), exifBack.size());
    ASSERT_TRUE(block);
    ASSERT_EQ(block->ifd0.size(), 1u);
    EXPECT_EQ(block->ifd0[0].value, full.metadata.exif->ifd0[0].value);

    Options greyProfile;
    greyProfile.profile = grey;  // describes other samples than the file's
    for (const Options& options : {Options{}, greyProfile}) {
        const vips::VImage bare = decoded(encode(p.view, options));
        for (const char* field : {"icc-profile-data", "xmp-data", "exif-data"})
            EXPECT_EQ(bare.get_typeof(field), 0u) << field;
    }
}

TEST(AvifGrid, LargePicturesAreCellsThatMeetWithoutASeam)
{
    Options options;
    options.quality = 90;
    options.largestCell = 160 * 100;  // cells of 130 x 100 at most for a 258 x 200 picture
    options.metadata.exif = exif::Block{};
    options.metadata.exif->ifd0.push_back({0x010F, 2, 8, Bytes{'Q', 'u', 'a', 'r', 'b', 'e', 'l', 0}});

    const Picture p = picture(258, 200, 4);
    const Bytes file = encode(p.view, options);
    EXPECT_TRUE(isGrid(file));
    const vips::VImage back = decoded(file);
    ASSERT_EQ(back.width(), 258);
    ASSERT_EQ(back.height(), 200);
    ASSERT_EQ(back.bands(), 4);
    const auto [mean, worst] = difference(back, p.view);
    EXPECT_LT(mean, 2.0);
    EXPECT_LT(worst, 32);
    EXPECT_FALSE(blob(back, "exif-data").empty());

    // A grid of 4:2:0 cells needs an even width and height: an odd one stays one frame.
    const Picture odd = picture(257, 200, 3);
    const Bytes single = encode(odd.view, options);
    EXPECT_FALSE(isGrid(single));
    EXPECT_EQ(decoded(single).width(), 257);
}

TEST(AvifRefusals, FailWithAReasonOrStop)
{
    Picture p = picture(8, 8, 3);
    Options tooManyThreads;
    tooManyThreads.threads = 65;  // more than aom takes
    try {
        encode(p.view, tooManyThreads);
        ADD_FAILURE() << "aom took 65 threads";
    } catch (const Failure& failure) {
        const std::string reason = failure.what();
        const std::string start = "the AVIF file could not be written: ";
        EXPECT_EQ(reason.rfind(start, 0), 0u) << reason;
        EXPECT_GT(reason.size(), start.size() + 10) << reason;
    }
    PixelView tooWide = p.view;
    tooWide.width = 65537;
    tooWide.height = 1;
    PixelView fiveBands = p.view;
    fiveBands.bands = 5;
    for (const PixelView& view : {tooWide, fiveBands})
        EXPECT_THROW(toYuv(view), Failure);

    CancelToken cancelled;
    cancelled.cancel();
    EXPECT_THROW(toYuv(p.view, &cancelled), Cancelled);
    EXPECT_THROW(encode(toYuv(p.view), Options{}, &cancelled), Cancelled);
}

TEST(AvifGate, EncodesFromTwoThreadsTakeTurns)
{
    const Picture p = picture(640, 480, 3, 200);  // noisy: each encode takes a while
    Bytes files[2];
    std::latch start(2);
    auto work = [&](int i) {
        start.arrive_and_wait();
        files[i] = encode(p.view, Options{});
    };
    std::thread first(work, 0), second(work, 1);
    first.join();
    second.join();
    EXPECT_EQ(EncodeGate::mostAtOnce(), 1);
    EXPECT_EQ(files[0], files[1]);
    EXPECT_EQ(decoded(files[0]).width(), 640);
}

}  // namespace
}  // namespace quarbel::codecs::avif
