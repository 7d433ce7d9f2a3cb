// TIFF output is written by our own strip writer: read back by libtiff (through libvips) it
// gives every sample exactly, page by page, with the profile and resolution it was given;
// its directories are checked field by field as well.

#include "TestImages.h"

#include "jobs/imageservice/vips/Tiff.h"
#include "jobs/imageservice/vips/Vips.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <random>

namespace quarbel::imageservice::testing {
namespace {

using vips::VImage;

// ---- a reader for the directories, independent of the writer's code ----

std::uint32_t le(const Bytes& b, std::size_t at, int size)
{
    if (at + std::size_t(size) > b.size())
        throw std::runtime_error("a value lies outside the file");
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | b[at + std::size_t(i)];
    return v;
}

struct Field {
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::vector<std::uint32_t> values;  // SHORT and LONG values, RATIONAL as pairs
    Bytes bytes;                        // UNDEFINED
};
using Directory = std::map<std::uint16_t, Field>;

// The chain of directories; fails the test on unsorted tags or misplaced values.
std::vector<Directory> readDirectories(const Bytes& file)
{
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), std::string("II*\0", 4));
    std::vector<Directory> out;
    for (std::uint32_t at = le(file, 4, 4); at != 0 && out.size() < 1000;) {
        EXPECT_EQ(at % 2, 0u) << "a directory starts on a word boundary";
        const std::uint32_t n = le(file, at, 2);
        Directory d;
        std::uint16_t previous = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::size_t entry = at + 2 + 12 * i;
            const auto tag = std::uint16_t(le(file, entry, 2));
            EXPECT_GT(tag, previous) << "tags in ascending order";
            previous = tag;
            Field f;
            f.type = std::uint16_t(le(file, entry + 2, 2));
            f.count = le(file, entry + 4, 4);
            const int size = f.type == 3 ? 2 : f.type == 4 ? 4 : f.type == 5 ? 8 : 1;
            std::size_t value = entry + 8;
            if (std::size_t(size) * f.count > 4) {
                value = le(file, entry + 8, 4);
                EXPECT_EQ(value % 2, 0u) << "tag " << tag << ": values start on a word boundary";
            }
            for (std::uint32_t k = 0; k < f.count; ++k) {
                if (f.type == 3 || f.type == 4)
                    f.values.push_back(le(file, value + std::size_t(size) * k, size));
                else if (f.type == 5)
                    f.values.insert(f.values.end(),
                                    {le(file, value + 8 * k, 4), le(file, value + 8 * k + 4, 4)});
                else
                    f.bytes.push_back(std::uint8_t(le(file, value + k, 1)));
            }
            d[tag] = f;
        }
        out.push_back(d);
        at = le(file, at + 2 + 12 * n, 4);
    }
    return out;
}

std::vector<std::uint32_t> valuesOf(const Directory& d, std::uint16_t tag)
{
    auto it = d.find(tag);
    return it == d.end() ? std::vector<std::uint32_t>{} : it->second.values;
}

// The fields every directory of ours must have, right for a picture of `samples` per pixel.
void expectBaselineFields(const Directory& d, const Bytes& file, int width, int height, int samples)
{
    using V = std::vector<std::uint32_t>;
    EXPECT_EQ(valuesOf(d, 256), V{std::uint32_t(width)});
    EXPECT_EQ(valuesOf(d, 257), V{std::uint32_t(height)});
    EXPECT_EQ(valuesOf(d, 258), V(std::size_t(samples), 8));
    EXPECT_EQ(valuesOf(d, 259), V{8}) << "Adobe Deflate";
    EXPECT_EQ(valuesOf(d, 262), V{samples >= 3 ? 2u : 1u});
    EXPECT_EQ(valuesOf(d, 274), V{1});
    EXPECT_EQ(valuesOf(d, 277), V{std::uint32_t(samples)});
    EXPECT_EQ(valuesOf(d, 284), V{1});
    EXPECT_EQ(valuesOf(d, 317), V{2}) << "horizontal differencing";
    EXPECT_EQ(valuesOf(d, 338), samples % 2 == 0 ? V{2} : V{}) << "unassociated alpha";
    EXPECT_EQ(valuesOf(d, 282).size(), 2u);
    EXPECT_EQ(valuesOf(d, 283).size(), 2u);
    EXPECT_EQ(valuesOf(d, 296).size(), 1u);
    const V rows = valuesOf(d, 278), offsets = valuesOf(d, 273), counts = valuesOf(d, 279);
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_GT(rows[0], 0u);
    EXPECT_EQ(offsets.size(), (std::uint32_t(height) + rows[0] - 1) / rows[0]);
    ASSERT_EQ(counts.size(), offsets.size());
    for (std::size_t i = 0; i < offsets.size(); ++i)
        EXPECT_LE(std::uint64_t(offsets[i]) + counts[i], file.size()) << "strip " << i;
}

// ---- pictures ----

VImage srgb(VImage image)
{
    return image.cast(VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation",
                                    image.bands() >= 3 ? VIPS_INTERPRETATION_sRGB : VIPS_INTERPRETATION_B_W));
}

// The master's ramps with `bands` bands: grey is its red ramp, alpha its transparent corner.
VImage ramps(int width, int height, int bands)
{
    const VImage m = master(width, height);
    switch (bands) {
    case 1: return srgb(m.extract_band(0));
    case 2: return srgb(m.extract_band(0).bandjoin(m.extract_band(3)));
    case 3: return srgb(opaque(m));
    default: return srgb(m);
    }
}

VImage noise(int width, int height, int bands, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes samples(std::size_t(width) * height * bands);
    for (auto& s : samples)
        s = std::uint8_t(random());
    // copy_memory() would keep pointing at `samples`: the image gets a copy of its own.
    return srgb(VImage(vips_image_new_from_memory_copy(samples.data(), samples.size(), width, height, bands,
                                                       VIPS_FORMAT_UCHAR)));
}

double largestDifference(const VImage& a, const VImage& b)
{
    return (a.cast(VIPS_FORMAT_INT) - b.cast(VIPS_FORMAT_INT)).abs().max();
}

// Decodes with libtiff and compares every sample; returns the file.
Bytes expectRoundTrip(const VImage& picture, int pages = 1)
{
    const Bytes file = encodeTiff(picture);
    const VImage back = decodeIndependently(file, true);
    EXPECT_EQ(back.width(), picture.width());
    EXPECT_EQ(back.height(), picture.height());
    EXPECT_EQ(back.bands(), picture.bands());
    EXPECT_EQ(back.format(), VIPS_FORMAT_UCHAR);
    EXPECT_EQ(back.get_typeof("n-pages") ? back.get_int("n-pages") : 1, pages);
    if (back.width() == picture.width() && back.height() == picture.height() &&
        back.bands() == picture.bands()) {
        EXPECT_EQ(largestDifference(back, picture), 0) << "every sample comes back";
    }
    return file;
}

struct Shape {
    const char* name;
    int width, height, bands;
    bool noisy;
};

const Shape kShapes[] = {
    {"grey", 300, 200, 1, false},       {"grey_alpha", 300, 200, 2, false},
    {"rgb", 300, 200, 3, false},        {"rgba", 300, 200, 4, false},
    {"one_pixel", 1, 1, 3, false},      {"one_pixel_grey_alpha", 1, 1, 2, false},
    {"width_1", 1, 700, 4, false},      {"width_3", 3, 500, 3, false},
    {"width_7_grey", 7, 333, 1, false}, {"tall", 2000, 1500, 3, false},  // many strips, the last one short
    {"noise_rgb", 1500, 700, 3, true},  {"noise_rgba", 517, 301, 4, true},
};

class TiffShapes : public ::testing::TestWithParam<Shape> {};

TEST_P(TiffShapes, EverySampleComesBackAndTheFieldsAreRight)
{
    const Shape& s = GetParam();
    const VImage picture = s.noisy ? noise(s.width, s.height, s.bands, 7) : ramps(s.width, s.height, s.bands);
    const Bytes file = expectRoundTrip(picture);
    const auto directories = readDirectories(file);
    ASSERT_EQ(directories.size(), 1u);
    expectBaselineFields(directories[0], file, s.width, s.height, s.bands);
    EXPECT_EQ(directories[0].count(254), 0u) << "a single picture is not a page of a document";
    EXPECT_EQ(directories[0].count(297), 0u);
    if (s.noisy) {
        // Incompressible samples are stored, not blown up.
        const double raw = double(s.width) * s.height * s.bands;
        EXPECT_LT(double(file.size()), raw * 1.01 + 4096);
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, TiffShapes, ::testing::ValuesIn(kShapes),
                         [](const auto& info) { return std::string(info.param.name); });

int rowsPerStripOf(const Bytes& file) { return int(valuesOf(readDirectories(file).at(0), 278).at(0)); }

// Heights around the strip height the writer picks for that width.
TEST(TiffOutput, HeightsAroundStripBoundariesComeBack)
{
    constexpr int width = 1000;
    const int rows = rowsPerStripOf(encodeTiff(ramps(width, 4000, 3)));
    ASSERT_LT(rows, 4000) << "the picture needs several strips";
    for (int height : {rows - 1, rows, rows + 1, 2 * rows, 2 * rows + 1, 3 * rows - 1}) {
        SCOPED_TRACE(height);
        const Bytes file = expectRoundTrip(ramps(width, height, 3));
        const auto directories = readDirectories(file);
        ASSERT_EQ(directories.size(), 1u);
        expectBaselineFields(directories[0], file, width, height, 3);
    }
}

// Three different frames stacked.
VImage threePages(int width, int page, int bands)
{
    std::vector<VImage> frames;
    for (int i = 0; i < 3; ++i)
        frames.push_back(i == 1 ? noise(width, page, bands, 3)
                                : ramps(width, page, bands).rot180() * (i ? 0.5 : 1.0));
    VImage stack = srgb(VImage::arrayjoin(frames, VImage::option()->set("across", 1)));
    stack.set("page-height", page);
    return stack.copy_memory();
}

TEST(TiffOutput, FramesBecomeNumberedPagesWithTheSamePixels)
{
    for (int bands : {1, 4}) {
        SCOPED_TRACE(bands);
        // Pages of two and a half strips.
        constexpr int width = 300;
        const int rows = rowsPerStripOf(encodeTiff(ramps(width, 20000, bands)));
        ASSERT_LT(rows, 8000);
        const int page = 2 * rows + rows / 2;
        const VImage picture = threePages(width, page, bands);
        const Bytes file = expectRoundTrip(picture, 3);
        const auto directories = readDirectories(file);
        ASSERT_EQ(directories.size(), 3u);
        for (std::uint32_t i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            expectBaselineFields(directories[i], file, width, page, bands);
            EXPECT_EQ(valuesOf(directories[i], 254), std::vector<std::uint32_t>{2}) << "a page";
            EXPECT_EQ(valuesOf(directories[i], 297), (std::vector<std::uint32_t>{i, 3}));
        }
        // Each page on its own, as a reader that shows one page at a time gets it.
        for (int i = 0; i < 3; ++i) {
            const VImage one =
                VImage::new_from_buffer(file.data(), file.size(), "", VImage::option()->set("page", i));
            EXPECT_EQ(largestDifference(one, picture.crop(0, i * page, width, page)), 0) << "page " << i;
        }
    }
}

Bytes srgbProfile() { return take(VImage::profile_load("sRGB")); }

VImage withMetadata(VImage image, double xres, double yres, const char* unit, const Bytes& profile)
{
    image = image.copy(VImage::option()->set("xres", xres)->set("yres", yres));
    if (unit)
        image.set("resolution-unit", unit);
    if (!profile.empty())
        vips_image_set_blob_copy(image.get_image(), "icc-profile-data", profile.data(), profile.size());
    return image;
}

Bytes profileOf(const VImage& image)
{
    if (!image.get_typeof("icc-profile-data"))
        return {};
    size_t length = 0;
    const auto* data = static_cast<const std::uint8_t*>(image.get_blob("icc-profile-data", &length));
    return Bytes(data, data + length);
}

TEST(TiffOutput, ResolutionAndProfileSurvive)
{
    struct Case {
        double xres, yres;  // pixels per millimetre (libtiff's values are floats)
        const char* unit;   // as the source file gave it
        std::uint32_t fileUnit;
        std::uint32_t wholeX;  // a whole number of dots per unit that the file should say as such, or 0
    };
    const Bytes profile = srgbProfile();
    ASSERT_GT(profile.size(), 128u);
    for (const Case c :
         {Case{72 / 25.4, 72 / 25.4, "in", 2, 72}, Case{double(float(300 / 25.4)), 150 / 25.4, "in", 2, 300},
          Case{2.83465, 2.83465, nullptr, 3, 0}, Case{1.0, 1.0, "cm", 3, 10},
          Case{0.013, 40000.5, nullptr, 3, 0}}) {
        SCOPED_TRACE(c.xres);
        const VImage picture = withMetadata(ramps(120, 80, 3), c.xres, c.yres, c.unit, profile);
        const Bytes file = expectRoundTrip(picture);
        const VImage back = decodeIndependently(file);
        EXPECT_NEAR(back.xres(), c.xres, c.xres * 1e-6);
        EXPECT_NEAR(back.yres(), c.yres, c.yres * 1e-6);
        const auto directory = readDirectories(file).at(0);
        EXPECT_EQ(valuesOf(directory, 296), std::vector<std::uint32_t>{c.fileUnit});
        if (c.wholeX) {
            EXPECT_EQ(valuesOf(directory, 282), (std::vector<std::uint32_t>{c.wholeX, 1}));
        }
        EXPECT_EQ(profileOf(back), profile);
    }
}

TEST(TiffOutput, UnknownResolutionBecomesSeventyTwoDotsPerInch)
{
    const Bytes file = encodeTiff(withMetadata(ramps(30, 20, 3), 0.0, 0.0, nullptr, {}));
    const VImage back = decodeIndependently(file);
    EXPECT_NEAR(back.xres() * 25.4, 72, 1e-3);
    EXPECT_NEAR(back.yres() * 25.4, 72, 1e-3);
}

TEST(TiffOutput, ProfileOfAnotherColourSpaceIsLeftOut)
{
    const Bytes rgb = srgbProfile();
    const Bytes file = encodeTiff(withMetadata(ramps(40, 30, 2), 2.0, 2.0, nullptr, rgb));
    const auto directories = readDirectories(file);
    ASSERT_EQ(directories.size(), 1u);
    EXPECT_EQ(directories[0].count(34675), 0u) << "an RGB profile on grey samples";
    EXPECT_TRUE(profileOf(decodeIndependently(file)).empty());
}

TEST(TiffOutput, FileOverTheSizeCeilingIsRefused)
{
    const VImage picture = noise(400, 300, 3, 11);
    const std::size_t size = encodeTiff(picture).size();
    EXPECT_EQ(encodeTiff(picture, size).size(), size);
    EXPECT_THROW(encodeTiff(picture, size - 1), vips_util::Failure) << "no room for the last directory";
    EXPECT_THROW(encodeTiff(picture, size / 2), vips_util::Failure) << "no room for the strips";
}

TEST(TiffOutput, SamplesOtherThanEightBitAreRefused)
{
    EXPECT_THROW(encodeTiff(ramps(20, 10, 3).cast(VIPS_FORMAT_USHORT)), vips_util::Failure);
    EXPECT_THROW(encodeTiff(ramps(20, 10, 4).bandjoin(ramps(20, 10, 1))), vips_util::Failure);
}

// A picture whose pixels cannot all be computed: the failure comes out, not a short file.
TEST(TiffOutput, FailingPipelineThrows)
{
    Bytes png = take(ramps(600, 400, 3).pngsave_buffer());
    png.resize(png.size() / 2);
    const VImage cut = vips_util::loadFromBytes("pngload_buffer", png.data(), png.size(),
                                                VImage::option()->set("fail_on", VIPS_FAIL_ON_TRUNCATED));
    EXPECT_THROW(encodeTiff(cut), vips::VError);
}

}  // namespace
}  // namespace quarbel::imageservice::testing
