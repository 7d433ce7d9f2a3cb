// Premultiplied alpha for 8-bit pictures: the values themselves, checked against plain
// arithmetic over every colour and alpha, and what a user sees of it when a half-transparent
// picture is scaled.

#include "TestImages.h"

#include "jobs/imageservice/vips/Premultiply.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quarbel::imageservice::testing {
namespace {

using vips::VImage;

// Grey+alpha pixels holding every pair of 0..255 grey and 0..255 alpha.
VImage everyPair()
{
    std::vector<std::uint8_t> bytes(256 * 256 * 2);
    for (int alpha = 0; alpha < 256; ++alpha)
        for (int grey = 0; grey < 256; ++grey) {
            bytes[(alpha * 256 + grey) * 2] = std::uint8_t(grey);
            bytes[(alpha * 256 + grey) * 2 + 1] = std::uint8_t(alpha);
        }
    return VImage(
        vips_image_new_from_memory_copy(bytes.data(), bytes.size(), 256, 256, 2, VIPS_FORMAT_UCHAR));
}

std::vector<std::uint8_t> bytesOf(const VImage& image)
{
    std::size_t size = 0;
    void* data = image.write_to_memory(&size);
    std::vector<std::uint8_t> out(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    g_free(data);
    return out;
}

TEST(Premultiply, EveryColourAndAlphaIsRoundedToTheNearestStep)
{
    const std::vector<std::uint8_t> pre = bytesOf(pixels::premultiplied(everyPair()));
    for (int alpha = 0; alpha < 256; ++alpha)
        for (int grey = 0; grey < 256; ++grey) {
            const std::size_t at = std::size_t(alpha * 256 + grey) * 2;
            ASSERT_EQ(pre[at], int(std::lround(grey * alpha / 255.0))) << grey << " at alpha " << alpha;
            ASSERT_EQ(pre[at + 1], alpha);
        }
}

TEST(Premultiply, UnpremultiplyInvertsWhereverTheAlphaAllowsIt)
{
    const std::vector<std::uint8_t> back =
        bytesOf(pixels::unpremultiplied(pixels::premultiplied(everyPair())));
    for (int alpha = 0; alpha < 256; ++alpha)
        for (int grey = 0; grey < 256; ++grey) {
            const std::size_t at = std::size_t(alpha * 256 + grey) * 2;
            ASSERT_EQ(back[at + 1], alpha);
            if (alpha == 0) {
                ASSERT_EQ(back[at], 0) << "a fully transparent pixel is black";
            } else {  // the premultiplied value kept grey to half a step of 255 / alpha
                ASSERT_LE(std::abs(back[at] - grey), int(std::ceil(127.5 / alpha)))
                    << grey << " at alpha " << alpha;
            }
        }
    // Opaque pixels come back exactly.
    for (int grey = 0; grey < 256; ++grey)
        EXPECT_EQ(back[std::size_t(255 * 256 + grey) * 2], grey);
}

TEST(Premultiply, ColourBeyondItsAlphaIsClampedNotWrapped)
{
    // Lanczos overshoots at hard edges, so colour may exceed alpha after scaling.
    const std::uint8_t pixel[4] = {200, 120, 10, 100};
    const VImage image =
        VImage::new_from_memory(const_cast<std::uint8_t*>(pixel), sizeof pixel, 1, 1, 4, VIPS_FORMAT_UCHAR);
    const std::vector<std::uint8_t> out = bytesOf(pixels::unpremultiplied(image));
    EXPECT_EQ(out, (std::vector<std::uint8_t>{255, 255, 26, 100}));
}

TEST(Premultiply, RejectsWhatItCannotHandle)
{
    EXPECT_THROW(
        pixels::premultiplied(VImage::black(2, 2, VImage::option()->set("bands", 2)).cast(VIPS_FORMAT_FLOAT)),
        vips::VError)
        << "a float picture";
    EXPECT_THROW(pixels::premultiplied(VImage::black(2, 2).cast(VIPS_FORMAT_UCHAR)), vips::VError)
        << "no alpha";
}

TEST(Premultiply, ScalingDoesNotBleedTheColourOfTransparentPixels)
{
    // Left half: invisible bright red; right half: opaque blue. Scaled down, the visible
    // pixels near the seam stay blue, and the seam's pixels are partly transparent blue.
    const VImage x = VImage::xyz(120, 40).extract_band(0);
    const VImage left = x < 60;
    const VImage rgba =
        left.ifthenelse(std::vector<double>{255, 0, 0, 0}, std::vector<double>{0, 0, 255, 255})
            .cast(VIPS_FORMAT_UCHAR)
            .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    TempDir dir;
    writeFile(dir.file("seam.png"), take(rgba.pngsave_buffer()));
    for (const int width : {30, 17, 200}) {
        ImageFile out;
        const Result r = scale(dir.file("seam.png"), std::to_string(width), "10", out);
        ASSERT_TRUE(r) << r.reason;
        const VImage back = decodeIndependently(out.FileData());
        ASSERT_EQ(back.bands(), 4);
        for (int px = 0; px < width; ++px) {
            const std::vector<double> p = pixelAt(back, px, 5);
            if (p[3] >= 8) {  // visible enough for its colour to matter
                EXPECT_LE(p[0], 8) << "red from the transparent half at x " << px << " of " << width;
            }
        }
        EXPECT_EQ(pixelAt(back, 0, 5)[3], 0) << width;
        EXPECT_EQ(pixelAt(back, width - 1, 5)[3], 255) << width;
    }
}

}  // namespace
}  // namespace quarbel::imageservice::testing
