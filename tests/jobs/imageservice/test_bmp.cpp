// Reading BMP files: plain 24-bit files, whichever way their rows are stored and however
// their rows are padded, come back with exactly their pixels, like the other kinds of BMP.

#include "TestImages.h"

#include <gtest/gtest.h>

#include <array>

namespace quarbel::imageservice::testing {
namespace {

using vips::VImage;

struct BmpShape {
    const char* name;
    int width, height;
    bool topDown;
    int bits;           // 24, or 32 (read by the general reader)
    std::uint32_t gap;  // bytes between the headers and the pixels
};

// The colour of pixel x, y in every picture of these tests.
std::array<std::uint8_t, 3> colourAt(int x, int y)
{
    return {std::uint8_t(x * 37 + y), std::uint8_t(y * 53 + 7), std::uint8_t((x ^ y) * 11)};
}

// A BMP file written field by field.
Bytes bmpFile(const BmpShape& s)
{
    const int bytesPerPixel = s.bits / 8;
    const std::uint32_t stride = (std::uint32_t(s.width) * bytesPerPixel + 3) & ~3u;
    const std::uint32_t offset = 14 + 40 + s.gap;
    Bytes b;
    auto le = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b.push_back(std::uint8_t(v >> (8 * i)));
    };
    b.push_back('B');
    b.push_back('M');
    le(offset + stride * std::uint32_t(s.height), 4);
    le(0, 4);
    le(offset, 4);
    le(40, 4);
    le(std::uint32_t(s.width), 4);
    le(std::uint32_t(s.topDown ? -s.height : s.height), 4);
    le(1, 2);
    le(std::uint32_t(s.bits), 2);
    le(0, 4);
    le(stride * std::uint32_t(s.height), 4);
    le(2835, 4);
    le(2835, 4);
    le(0, 4);
    le(0, 4);
    b.insert(b.end(), s.gap, 0xEE);
    for (int row = 0; row < s.height; ++row) {
        const int y = s.topDown ? row : s.height - 1 - row;
        const std::size_t start = b.size();
        for (int x = 0; x < s.width; ++x) {
            const auto c = colourAt(x, y);
            b.push_back(c[2]);
            b.push_back(c[1]);
            b.push_back(c[0]);
            if (bytesPerPixel == 4)
                b.push_back(0);
        }
        b.resize(start + stride, 0xEE);  // padding that must not show
    }
    return b;
}

class BmpReading : public ::testing::TestWithParam<BmpShape> {};

TEST_P(BmpReading, EveryPixelComesBack)
{
    const BmpShape& s = GetParam();
    TempDir dir;
    writeFile(dir.file("in.bmp"), bmpFile(s));
    ImageFile out;
    const Result r = convert(dir.file("in.bmp"), Kind::Png, out);
    ASSERT_TRUE(r) << r.reason;
    const VImage back = decodeIndependently(out.FileData()).colourspace(VIPS_INTERPRETATION_sRGB);
    ASSERT_EQ(back.width(), s.width);
    ASSERT_EQ(back.height(), s.height);
    const VImage rgb =
        (back.bands() > 3 ? back.extract_band(0, VImage::option()->set("n", 3)) : back).copy_memory();
    const auto* px = static_cast<const std::uint8_t*>(rgb.data());
    int wrong = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const auto c = colourAt(x, y);
            const std::uint8_t* p = px + (std::size_t(y) * s.width + x) * 3;
            wrong += p[0] != c[0] || p[1] != c[1] || p[2] != c[2];
        }
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, BmpReading,
    ::testing::Values(BmpShape{"bottom_up", 40, 30, false, 24, 0}, BmpShape{"top_down", 40, 30, true, 24, 0},
                      // Widths of 1, 2, 3 and 5 pixels pad each row with 1, 2, 3 and 1 bytes.
                      BmpShape{"width_1", 1, 9, false, 24, 0}, BmpShape{"width_2", 2, 9, true, 24, 0},
                      BmpShape{"width_3", 3, 9, false, 24, 0}, BmpShape{"width_5", 5, 9, false, 24, 0},
                      BmpShape{"one_pixel", 1, 1, false, 24, 0},
                      BmpShape{"pixels_after_a_gap", 17, 5, false, 24, 100},
                      BmpShape{"thirty_two_bit", 17, 5, false, 32, 0},
                      BmpShape{"thirty_two_bit_top_down", 17, 5, true, 32, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A file whose last row is cut off fails instead of coming back with a made-up row.
TEST(BmpReading, MissingBytesOfTheLastRowFail)
{
    for (const bool topDown : {false, true}) {
        Bytes file = bmpFile(BmpShape{"cut", 7, 4, topDown, 24, 0});
        file.resize(file.size() - 2);
        TempDir dir;
        writeFile(dir.file("cut.bmp"), file);
        ImageFile out;
        const Result r = convert(dir.file("cut.bmp"), Kind::Png, out);
        EXPECT_FALSE(r) << (topDown ? "top-down" : "bottom-up");
        EXPECT_NE(r.reason.find("truncated"), std::string::npos) << r.reason;
    }
}

}  // namespace
}  // namespace quarbel::imageservice::testing
