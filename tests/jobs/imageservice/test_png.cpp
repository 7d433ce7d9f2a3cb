// PNG output is lossless, and smaller where that costs nothing: grey pictures as grey, few
// colours as a palette, no alpha band when everything is opaque.

#include "TestImages.h"

#include <gtest/gtest.h>

namespace quarbel::imageservice::testing {
namespace {

using vips::VImage;

Bytes pngOf(const VImage& image) { return take(image.pngsave_buffer()); }

VImage srgb(VImage image)
{
    return image.cast(VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

// Largest difference of any sample, alpha included; the pictures must have the same bands.
double largestDifference(VImage a, VImage b)
{
    return (a.cast(VIPS_FORMAT_INT) - b.cast(VIPS_FORMAT_INT)).abs().max();
}

struct Reduction {
    const char* name;
    VImage (*make)();
    int bands;  // of the written file as decoded
    bool palette;
};

const Reduction kReductions[] = {
    {"colour_with_alpha", [] { return master(300, 200); }, 4, false},
    {"colour_opaque_alpha", [] { return srgb(opaque(master(300, 200)).bandjoin(255)); }, 3, false},
    {"grey_in_rgb",
     [] {
         VImage g = opaque(master(300, 200)).extract_band(0);
         return srgb(VImage::bandjoin({g, g, g}));
     },
     1, false},
    {"grey_in_rgba",
     [] {
         VImage m = master(300, 200);
         VImage g = m.extract_band(0);
         return srgb(VImage::bandjoin({g, g, g, m.extract_band(3)}));
     },
     2, false},
    {"few_colours", [] { return srgb((opaque(master(300, 200)) / 64).cast(VIPS_FORMAT_UCHAR) * 64); }, 3,
     true},
    {"few_colours_alpha",
     [] {
         VImage m = master(300, 200);
         return srgb((opaque(m) / 64).cast(VIPS_FORMAT_UCHAR) * 64).bandjoin(m.extract_band(3));
     },
     4, true},
    // Over 48 MB of samples: written by the streaming path.
    {"large", [] { return srgb(opaque(master(4200, 4000))); }, 3, false},
};

class PngReductions : public ::testing::TestWithParam<Reduction> {};

TEST_P(PngReductions, PixelsComeBackExactly)
{
    const Reduction& c = GetParam();
    const VImage source = c.make().copy_memory();
    TempDir dir;
    writeFile(dir.file("in.png"), pngOf(source));
    ImageFile out;
    const Result r = convert(dir.file("in.png"), Kind::Png, out);
    ASSERT_TRUE(r) << r.reason;
    const VImage back = decodeIndependently(out.FileData());
    EXPECT_EQ(back.bands(), c.bands);
    EXPECT_EQ(back.get_typeof("palette-bit-depth") != 0, c.palette);
    // Bring both to the same bands: grey files back to three equal channels, alpha as is.
    VImage expected = source;
    if (c.bands < source.bands() && (c.bands == 3 || c.bands == 1))
        expected = opaque(source);
    VImage got = back;
    if (got.bands() == 1)
        got = VImage::bandjoin({back, back, back});
    else if (got.bands() == 2)
        got = VImage::bandjoin(
            {back.extract_band(0), back.extract_band(0), back.extract_band(0), back.extract_band(1)});
    if (expected.bands() != got.bands())
        expected = opaque(expected);
    ASSERT_EQ(expected.bands(), got.bands());
    EXPECT_EQ(largestDifference(got, expected), 0);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PngReductions, ::testing::ValuesIn(kReductions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngOutput, ColourManagedSourceCarriesTheSrgbProfile)
{
    TempDir dir;
    // A CMYK JPEG with its profile: converted to sRGB, and the PNG says so.
    writeFile(dir.file("in.jpg"),
              jpegBytes(opaque(master()).icc_export(VImage::option()->set("output_profile", "cmyk"))));
    ImageFile out;
    ASSERT_TRUE(convert(dir.file("in.jpg"), Kind::Png, out));
    const VImage back = decodeIndependently(out.FileData());
    ASSERT_TRUE(back.get_typeof("icc-profile-data"));
    size_t length = 0;
    const auto* profile = static_cast<const char*>(back.get_blob("icc-profile-data", &length));
    ASSERT_GT(length, 20u);
    EXPECT_EQ(std::string(profile + 16, 4), "RGB ");
}

}  // namespace
}  // namespace quarbel::imageservice::testing
