// Scale: exact sizes from every source format, in the source's own format, and the rules
// for empty or zero size fields.

#include "TestImages.h"

#include <gtest/gtest.h>

namespace quarbel::imageservice::testing {
namespace {

using vips::VImage;

struct Target {
    int width, height;
};

class ScaleSizes : public ::testing::TestWithParam<std::tuple<Kind, Target>> {};

TEST_P(ScaleSizes, ResultIsExactlyTheSizeInTheSourcesFormat)
{
    const auto [kind, size] = GetParam();
    TempDir dir;
    // The name says JPEG whatever the content: the format comes from the content.
    const std::string path = dir.file("picture.jpg");
    writeFile(path, encodeMaster(kind));

    ImageFile out;
    const Result r = scale(path, std::to_string(size.width), std::to_string(size.height), out);
    ASSERT_TRUE(r) << r.reason;
    EXPECT_EQ(out.FormatID(), formatIdOf(kind));
    VImage back = decodeIndependently(out.FileData());
    ASSERT_EQ(back.width(), size.width);
    ASSERT_EQ(back.height(), size.height);
    if (size.width >= 16 && size.height >= 16) {
        VImage expected = master().resize(double(size.width) / 96,
                                          VImage::option()->set("vscale", double(size.height) / 64));
        expected =
            expected
                .crop(0, 0, std::min(expected.width(), size.width), std::min(expected.height(), size.height))
                .embed(0, 0, size.width, size.height, VImage::option()->set("extend", VIPS_EXTEND_COPY));
        // Scaling blurs the hard edge of the transparent corner a little differently.
        EXPECT_LT(meanDifference(back, expected), kind == Kind::Gif || kind == Kind::Jpeg ? 9.0 : 5.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ScaleSizes,
    ::testing::Combine(::testing::Values(Kind::Jpeg, Kind::Png, Kind::Gif, Kind::Bmp, Kind::Tiff),
                       ::testing::Values(Target{48, 32}, Target{200, 150}, Target{33, 17}, Target{1, 1},
                                         Target{96, 7}, Target{150, 20}, Target{20, 150})),
    [](const auto& info) {
        const Target t = std::get<1>(info.param);
        return std::string(nameOf(std::get<0>(info.param))) + "_" + std::to_string(t.width) + "x" +
               std::to_string(t.height);
    });

struct FieldCase {
    const char* width;
    const char* height;
    int expectedWidth, expectedHeight;
};

// The frame lets empty fields and zeros written with leading zeros through.
class ScaleFields : public ::testing::TestWithParam<FieldCase> {};

TEST_P(ScaleFields, EmptyOrZeroSideFollowsTheSourceProportions)
{
    const FieldCase c = GetParam();
    TempDir dir;
    const std::string path = dir.file("in.png");
    writeFile(path, encodeMaster(Kind::Png, 300, 200));
    ImageFile out;
    const Result r = scale(path, c.width, c.height, out);
    ASSERT_TRUE(r) << r.reason;
    VImage back = decodeIndependently(out.FileData());
    EXPECT_EQ(back.width(), c.expectedWidth);
    EXPECT_EQ(back.height(), c.expectedHeight);
}

INSTANTIATE_TEST_SUITE_P(Fields, ScaleFields,
                         ::testing::Values(FieldCase{"", "", 300, 200}, FieldCase{"00", "", 300, 200},
                                           FieldCase{"", "100", 150, 100}, FieldCase{"0150", "00", 150, 100},
                                           FieldCase{"", "1", 2, 1}, FieldCase{"900", "", 900, 600},
                                           // 4.5 and 7.5: halves go to the even neighbour
                                           FieldCase{"", "3", 4, 3}, FieldCase{"", "5", 8, 5},
                                           FieldCase{"0640", "0480", 640, 480}));

// Large reductions average every source pixel: fine detail becomes its mean grey instead of
// moire or one of its colours.
TEST(Scale, LargeReductionAveragesFineDetail)
{
    const VImage x = VImage::xyz(1203, 901);
    const VImage checker = (((x.extract_band(0) + x.extract_band(1)) % 2) * 255).cast(VIPS_FORMAT_UCHAR);
    TempDir dir;
    writeFile(dir.file("checker.png"), take(checker.pngsave_buffer()));
    for (const auto& [width, height] : {std::pair{60, 45}, std::pair{97, 31}, std::pair{401, 300}}) {
        ImageFile out;
        const Result r = scale(dir.file("checker.png"), std::to_string(width), std::to_string(height), out);
        ASSERT_TRUE(r) << r.reason;
        const VImage back = decodeIndependently(out.FileData());
        ASSERT_EQ(back.width(), width);
        ASSERT_EQ(back.height(), height);
        // Away from the borders, where the filter sees fewer pixels.
        const VImage inner = back.crop(2, 2, width - 4, height - 4);
        EXPECT_GT(inner.min(), 110) << width << " x " << height;
        EXPECT_LT(inner.max(), 146) << width << " x " << height;
    }
}

TEST(Scale, TurnedJpegIsScaledAsShown)
{
    TempDir dir;
    const std::string path = dir.file("turned.jpg");
    writeFile(path, turnedJpeg(400, 200, 8));
    ImageFile out;
    ASSERT_TRUE(scale(path, "50", "", out));  // shown 200 x 400: height follows as 100
    VImage back = decodeIndependently(out.FileData());
    EXPECT_EQ(back.width(), 50);
    EXPECT_EQ(back.height(), 100);
    VImage expected = opaque(master(400, 200)).rot(VIPS_ANGLE_D270).resize(0.25);
    EXPECT_LT(meanDifference(back, expected), 8.0);
}

TEST(Scale, AnimatedGifStaysAnimated)
{
    std::vector<VImage> frames;
    for (double v : {0.0, 255.0})
        frames.push_back(VImage::black(40, 20, VImage::option()->set("bands", 3)) + v);
    VImage strip = VImage::arrayjoin(frames, VImage::option()->set("across", 1))
                       .cast(VIPS_FORMAT_UCHAR)
                       .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    strip.set("page-height", 20);
    TempDir dir;
    writeFile(dir.file("a.gif"), take(strip.gifsave_buffer()));

    ImageFile out;
    ASSERT_TRUE(scale(dir.file("a.gif"), "10", "7", out));
    EXPECT_EQ(out.FrameCount(), 2);
    VImage back = decodeIndependently(out.FileData(), true);
    EXPECT_EQ(back.width(), 10);
    EXPECT_EQ(back.height(), 14);
    EXPECT_NEAR(pixelAt(back, 5, 3)[0], 0, 8) << "frames must not bleed into each other";
    EXPECT_NEAR(pixelAt(back, 5, 10)[0], 255, 8);
}

struct TooLarge {
    const char* width;
    const char* height;
    const char* reasonPart;
};

class ScaleTooLarge : public ::testing::TestWithParam<TooLarge> {};

TEST_P(ScaleTooLarge, FailsWithAReasonInsteadOfExhaustingMemory)
{
    const TooLarge c = GetParam();
    TempDir dir;
    const std::string path = dir.file("in.jpg");
    writeFile(path, encodeMaster(Kind::Jpeg));
    ImageFile out;
    const Result r = scale(path, c.width, c.height, out);
    ASSERT_FALSE(r);
    EXPECT_NE(r.reason.find(c.reasonPart), std::string::npos) << r.reason;
    EXPECT_TRUE(out.IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScaleTooLarge,
                         ::testing::Values(TooLarge{"100000", "100000", "larger than"},
                                           TooLarge{"99999999999999999999", "10", "larger than"},
                                           TooLarge{"70000", "10", "cannot hold"},
                                           TooLarge{"", "9000000", "larger than"}));

}  // namespace
}  // namespace quarbel::imageservice::testing
