// The preview decode: fitted into the box without enlarging, transparency on white, the
// picture's own size reported.

#include "TestImages.h"

#include <gtest/gtest.h>

namespace quarbel::imageservice::testing {
namespace {

using vips::VImage;

struct Box {
    int pictureW, pictureH, boxW, boxH, expectedW, expectedH;
};

class PreviewFit : public ::testing::TestWithParam<std::tuple<Kind, Box>> {};

TEST_P(PreviewFit, FitsTheBoxKeepsProportionsAndFlattensOnWhite)
{
    const auto [kind, box] = GetParam();
    TempDir dir;
    const std::string path = dir.file("p.img");
    writeFile(path, encodeMaster(kind, box.pictureW, box.pictureH));
    PreviewResult p = decodePreview(path, box.boxW, box.boxH);
    ASSERT_TRUE(p.result) << p.result.reason;
    EXPECT_EQ(p.fullWidth, box.pictureW);
    EXPECT_EQ(p.fullHeight, box.pictureH);
    ASSERT_EQ(p.width, box.expectedW);
    ASSERT_EQ(p.height, box.expectedH);
    ASSERT_EQ(p.rgb.size(), std::size_t(p.width) * p.height * 3);
    VImage shown = VImage::new_from_memory(p.rgb.data(), p.rgb.size(), p.width, p.height, 3, VIPS_FORMAT_UCHAR)
                       .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    VImage expected = master(box.pictureW, box.pictureH);
    if (expected.width() != p.width)
        expected = expected.resize(double(p.width) / expected.width(),
                                   VImage::option()->set("vscale", double(p.height) / expected.height()));
    expected = expected.crop(0, 0, p.width, p.height);
    EXPECT_LT(meanDifference(shown, expected), 8.0);
    // The transparent corner shows white.
    for (std::uint8_t sample : {p.rgb[0], p.rgb[1], p.rgb[2]})
        EXPECT_GE(sample, 235);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, PreviewFit,
    ::testing::Combine(::testing::Values(Kind::Jpeg, Kind::Png, Kind::Gif, Kind::Bmp, Kind::Tiff),
                       ::testing::Values(Box{400, 200, 100, 100, 100, 50}, Box{200, 400, 100, 100, 50, 100},
                                         Box{60, 30, 200, 200, 60, 30}, Box{1600, 1200, 160, 160, 160, 120})));

TEST(Preview, TurnedJpegReportsItsShownSize)
{
    TempDir dir;
    writeFile(dir.file("t.jpg"), turnedJpeg(80, 40, 6));
    PreviewResult p = decodePreview(dir.file("t.jpg"), 20, 20);
    ASSERT_TRUE(p.result) << p.result.reason;
    EXPECT_EQ(p.fullWidth, 40);
    EXPECT_EQ(p.fullHeight, 80);
    EXPECT_EQ(p.width, 10);
    EXPECT_EQ(p.height, 20);
}

TEST(Preview, BadFilesAndEmptyBoxesFail)
{
    TempDir dir;
    writeFile(dir.file("text.png"), Bytes{'h', 'i'});
    writeFile(dir.file("ok.png"), encodeMaster(Kind::Png));
    EXPECT_FALSE(decodePreview(dir.file("text.png"), 10, 10).result);
    EXPECT_FALSE(decodePreview(dir.file("missing.png"), 10, 10).result);
    EXPECT_FALSE(decodePreview(dir.file("ok.png"), 0, 10).result);
    EXPECT_TRUE(decodePreview(dir.file("ok.png"), 10, 10).result);
}

}  // namespace
}  // namespace quarbel::imageservice::testing
