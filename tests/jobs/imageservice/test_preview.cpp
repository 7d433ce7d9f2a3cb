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
    VImage shown =
        VImage::new_from_memory(p.rgb.data(), p.rgb.size(), p.width, p.height, 3, VIPS_FORMAT_UCHAR)
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
                                         Box{60, 30, 200, 200, 60, 30},
                                         Box{1600, 1200, 160, 160, 160, 120})));

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

// JPEG files in the colour spaces a camera, a scanner or a print shop writes, shrunk while
// they load (160 x 120 from 1600 x 1200 uses libjpeg's 1/8 scale).
struct JpegSource {
    const char* name;
    VImage (*stored)();  // what the file holds, at 1600 x 1200
    VImage (*shown)();   // what the preview should look like, in sRGB
    double tolerance;
};

VImage muted()  // colours that survive a trip through CMYK
{
    return (opaque(master(1600, 1200)) * 0.5 + 64)
        .cast(VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

const JpegSource kJpegSources[] = {
    {"rgb", [] { return opaque(master(1600, 1200)); }, [] { return opaque(master(1600, 1200)); }, 6.0},
    {"grey", [] { return opaque(master(1600, 1200)).colourspace(VIPS_INTERPRETATION_B_W); },
     [] {
         return opaque(master(1600, 1200))
             .colourspace(VIPS_INTERPRETATION_B_W)
             .colourspace(VIPS_INTERPRETATION_sRGB);
     },
     6.0},
    {"cmyk_with_profile", [] { return muted().icc_export(VImage::option()->set("output_profile", "cmyk")); },
     muted, 6.0},
};

class JpegPreview : public ::testing::TestWithParam<JpegSource> {};

TEST_P(JpegPreview, LooksLikeThePictureInSrgb)
{
    const JpegSource& source = GetParam();
    TempDir dir;
    writeFile(dir.file("p.jpg"), jpegBytes(source.stored()));
    PreviewResult p = decodePreview(dir.file("p.jpg"), 160, 160);
    ASSERT_TRUE(p.result) << p.result.reason;
    ASSERT_EQ(p.width, 160);
    ASSERT_EQ(p.height, 120);
    VImage shown =
        VImage::new_from_memory(p.rgb.data(), p.rgb.size(), p.width, p.height, 3, VIPS_FORMAT_UCHAR)
            .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    const VImage expected = source.shown().resize(0.1);
    EXPECT_LT(meanDifference(shown, expected), source.tolerance);
}

INSTANTIATE_TEST_SUITE_P(Sources, JpegPreview, ::testing::ValuesIn(kJpegSources),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Preview, JpegThatFailsWhileDecodingGivesAReason)
{
    // The scan asks for Huffman tables the file never defines: the header reads, the
    // decode fails.
    Bytes bytes = jpegBytes(opaque(master(64, 64)));
    std::size_t sos = 2;
    while (sos + 4 < bytes.size() && !(bytes[sos] == 0xFF && bytes[sos + 1] == 0xDA))
        sos += 2 + (std::size_t(bytes[sos + 2]) << 8 | bytes[sos + 3]);
    ASSERT_LT(sos + 4, bytes.size());
    const int components = bytes[sos + 4];
    for (int i = 0; i < components; ++i)
        bytes[sos + 6 + 2 * i] = 0x33;
    TempDir dir;
    writeFile(dir.file("bad.jpg"), bytes);
    for (int box : {8, 64}) {  // scaled and full size
        const PreviewResult p = decodePreview(dir.file("bad.jpg"), box, box);
        EXPECT_FALSE(p.result);
        EXPECT_NE(p.result.reason.find("Huffman"), std::string::npos) << p.result.reason;
    }
}

// A drawing is drawn at the preview's size, and only where decoders are confined.
TEST(Preview, SvgIsDrawnAtTheBoxSizeOnlyInAConfinedProcess)
{
    TempDir dir;
    const std::string path = dir.file("drawing.svg");
    const std::string svg =
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="1200" height="900">)"
        R"(<rect width="600" height="900" fill="#f00"/><rect x="600" width="600" height="900" )"
        R"(fill="#00f"/></svg>)";
    writeFile(path, {svg.begin(), svg.end()});
    const PreviewResult refused = decodePreview(path, 120, 120);
    EXPECT_FALSE(refused.result);
    EXPECT_EQ(refused.result.reason, "SVG files are only decoded in a worker process");

    setDecoderTrust(DecoderTrust::Confined);
    const PreviewResult p = decodePreview(path, 120, 120);
    setDecoderTrust(DecoderTrust::InProcess);
    ASSERT_TRUE(p.result) << p.result.reason;
    EXPECT_EQ(std::tuple(p.fullWidth, p.fullHeight, p.width, p.height), std::tuple(1200, 900, 120, 90));
    const std::uint8_t* left = &p.rgb[(45 * 120 + 30) * 3];
    const std::uint8_t* right = &p.rgb[(45 * 120 + 90) * 3];
    EXPECT_EQ(std::vector<int>(left, left + 3), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(std::vector<int>(right, right + 3), (std::vector<int>{0, 0, 255}));
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
