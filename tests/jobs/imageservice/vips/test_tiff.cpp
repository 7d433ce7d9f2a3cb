// TIFF output is written by our strip writer on libtiff: read back by libtiff (through libvips)
// it gives every sample exactly, page by page, with the profile and resolution it was given;
// its directories are read by libtiff field by field as well, without a warning.

#include "TestImages.h"

#include "codecs/exif/Exif.h"
#include "jobs/imageservice/vips/Tiff.h"
#include "jobs/imageservice/vips/Vips.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <sstream>

namespace quarbel::imageservice::testing {
namespace {

using vips::VImage;

// ---- the directories as libtiff reads them ----

// The file's bytes for libtiff, and what libtiff said about them.
struct Source {
    const Bytes& bytes;
    std::uint64_t position = 0;
    std::string complaints;
};

Source& sourceOf(thandle_t h) { return *static_cast<Source*>(static_cast<void*>(h)); }

tmsize_t readSource(thandle_t h, void* data, tmsize_t size)
{
    Source& s = sourceOf(h);
    const std::uint64_t n = std::min<std::uint64_t>(
        std::uint64_t(size), s.position < s.bytes.size() ? s.bytes.size() - s.position : 0);
    std::memcpy(data, s.bytes.data() + s.position, n);
    s.position += n;
    return tmsize_t(n);
}

tmsize_t writeNothing(thandle_t, void*, tmsize_t) { return 0; }

toff_t seekSource(thandle_t h, toff_t offset, int whence)
{
    Source& s = sourceOf(h);
    s.position = whence == SEEK_SET   ? offset
                 : whence == SEEK_CUR ? s.position + offset
                                      : s.bytes.size() + offset;
    return s.position;
}

int closeSource(thandle_t) { return 0; }
toff_t sizeOfSource(thandle_t h) { return sourceOf(h).bytes.size(); }
int mapNothing(thandle_t, void**, toff_t*) { return 0; }
void unmapNothing(thandle_t, void*, toff_t) {}

int complain(TIFF*, void* source, const char* module, const char* format, va_list arguments)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    static_cast<Source*>(source)->complaints += std::string(module ? module : "") + ": " + text + "\n";
    return 1;
}

// libtiff reading the file; every warning and error it has fails the test.
class TiffReader {
public:
    explicit TiffReader(const Bytes& file) : m_source{file, 0, {}}
    {
        TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
        TIFFOpenOptionsSetErrorHandlerExtR(options, complain, &m_source);
        TIFFOpenOptionsSetWarningHandlerExtR(options, complain, &m_source);
        m_tiff = TIFFClientOpenExt("test", "r", &m_source, readSource, writeNothing, seekSource, closeSource,
                                   sizeOfSource, mapNothing, unmapNothing, options);
        TIFFOpenOptionsFree(options);
        EXPECT_NE(m_tiff, nullptr) << m_source.complaints;
    }
    ~TiffReader()
    {
        if (m_tiff)
            TIFFClose(m_tiff);
        std::string complaints;
        std::istringstream lines(m_source.complaints);
        for (std::string line; std::getline(lines, line);)
            if (m_expected.empty() || line.find(m_expected) == std::string::npos)
                complaints += line + "\n";
        EXPECT_EQ(complaints, "") << "libtiff warned about the file";
    }
    TIFF* get() const { return m_tiff; }
    // A warning that the test expects (a tag libtiff does not know).
    void expect(std::string warning) { m_expected = std::move(warning); }

private:
    Source m_source;
    TIFF* m_tiff = nullptr;
    std::string m_expected;
};

using Values = std::vector<std::uint64_t>;

struct Directory {
    std::map<std::uint16_t, Values> fields;  // the whole-number fields the file has
    double xres = 0, yres = 0;               // as libtiff gives them (single precision)
    Bytes profile;
    std::uint64_t exifOffset = 0, gpsOffset = 0;
    std::uint64_t strips = 0;
};

Directory currentDirectory(TIFF* tiff)
{
    Directory d;
    std::uint32_t u32 = 0;
    std::uint16_t u16 = 0, second = 0;
    for (const ttag_t tag :
         {TIFFTAG_IMAGEWIDTH, TIFFTAG_IMAGELENGTH, TIFFTAG_ROWSPERSTRIP, TIFFTAG_SUBFILETYPE})
        if (TIFFGetField(tiff, tag, &u32))
            d.fields[std::uint16_t(tag)] = {u32};
    for (const ttag_t tag :
         {TIFFTAG_BITSPERSAMPLE, TIFFTAG_COMPRESSION, TIFFTAG_PHOTOMETRIC, TIFFTAG_ORIENTATION,
          TIFFTAG_SAMPLESPERPIXEL, TIFFTAG_PLANARCONFIG, TIFFTAG_RESOLUTIONUNIT, TIFFTAG_PREDICTOR})
        if (TIFFGetField(tiff, tag, &u16))
            d.fields[std::uint16_t(tag)] = {u16};
    if (TIFFGetField(tiff, TIFFTAG_PAGENUMBER, &u16, &second))
        d.fields[TIFFTAG_PAGENUMBER] = {u16, second};
    const std::uint16_t* extra = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &u16, &extra))
        d.fields[TIFFTAG_EXTRASAMPLES] = Values(extra, extra + u16);
    d.strips = TIFFNumberOfStrips(tiff);
    const std::uint64_t *offsets = nullptr, *counts = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_STRIPOFFSETS, &offsets) &&
        TIFFGetField(tiff, TIFFTAG_STRIPBYTECOUNTS, &counts)) {
        d.fields[TIFFTAG_STRIPOFFSETS] = Values(offsets, offsets + d.strips);
        d.fields[TIFFTAG_STRIPBYTECOUNTS] = Values(counts, counts + d.strips);
    }
    float res = 0;
    if (TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &res))
        d.xres = res;
    if (TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &res))
        d.yres = res;
    const void* profile = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_ICCPROFILE, &u32, &profile))
        d.profile.assign(static_cast<const std::uint8_t*>(profile),
                         static_cast<const std::uint8_t*>(profile) + u32);
    TIFFGetField(tiff, TIFFTAG_EXIFIFD, &d.exifOffset);
    TIFFGetField(tiff, TIFFTAG_GPSIFD, &d.gpsOffset);
    return d;
}

// The chain of directories.
std::vector<Directory> readDirectories(const Bytes& file)
{
    TiffReader reader(file);
    std::vector<Directory> out;
    if (!reader.get())
        return out;
    do
        out.push_back(currentDirectory(reader.get()));
    while (out.size() < 1000 && TIFFReadDirectory(reader.get()));
    return out;
}

Values valuesOf(const Directory& d, std::uint16_t tag)
{
    auto it = d.fields.find(tag);
    return it == d.fields.end() ? Values{} : it->second;
}

// The fields every directory of ours must have, right for a picture of `samples` per pixel.
void expectBaselineFields(const Directory& d, const Bytes& file, int width, int height, int samples)
{
    using V = Values;
    EXPECT_EQ(valuesOf(d, 256), V{std::uint32_t(width)});
    EXPECT_EQ(valuesOf(d, 257), V{std::uint32_t(height)});
    EXPECT_EQ(valuesOf(d, 258), V{8});
    EXPECT_EQ(valuesOf(d, 259), V{8}) << "Adobe Deflate";
    EXPECT_EQ(valuesOf(d, 262), V{samples >= 3 ? 2u : 1u});
    EXPECT_EQ(valuesOf(d, 274), V{1});
    EXPECT_EQ(valuesOf(d, 277), V{std::uint32_t(samples)});
    EXPECT_EQ(valuesOf(d, 284), V{1});
    EXPECT_EQ(valuesOf(d, 317), V{2}) << "horizontal differencing";
    EXPECT_EQ(valuesOf(d, 338), samples % 2 == 0 ? V{2} : V{}) << "unassociated alpha";
    EXPECT_GT(d.xres, 0);
    EXPECT_GT(d.yres, 0);
    EXPECT_EQ(valuesOf(d, 296).size(), 1u);
    const V rows = valuesOf(d, 278), offsets = valuesOf(d, 273), counts = valuesOf(d, 279);
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_GT(rows[0], 0u);
    EXPECT_EQ(offsets.size(), (std::uint32_t(height) + rows[0] - 1) / rows[0]);
    ASSERT_EQ(counts.size(), offsets.size());
    for (std::size_t i = 0; i < offsets.size(); ++i)
        EXPECT_LE(offsets[i] + counts[i], file.size()) << "strip " << i;
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
    EXPECT_EQ(directories[0].fields.count(254), 0u) << "a single picture is not a page of a document";
    EXPECT_EQ(directories[0].fields.count(297), 0u);
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
            EXPECT_EQ(valuesOf(directories[i], 254), Values{2}) << "a page";
            EXPECT_EQ(valuesOf(directories[i], 297), (Values{i, 3}));
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
        EXPECT_EQ(valuesOf(directory, 296), Values{c.fileUnit});
        if (c.wholeX) {
            EXPECT_EQ(directory.xres, double(c.wholeX)) << "a whole number of dots stays whole";
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
    EXPECT_TRUE(directories[0].profile.empty()) << "an RGB profile on grey samples";
    EXPECT_TRUE(profileOf(decodeIndependently(file)).empty());
}

// An EXIF block as a camera writes it: the maker in IFD0, the exposure, the date taken and
// tags of the maker's own (ones libtiff does not know) in the Exif directory, a position in GPS.
Bytes cameraExif()
{
    using codecs::exif::Entry;
    auto text = [](std::uint16_t tag, const std::string& s) {
        return Entry{tag, TIFF_ASCII, std::uint32_t(s.size() + 1),
                     Bytes(s.c_str(), s.c_str() + s.size() + 1)};
    };
    auto rationals = [](std::uint16_t tag, std::vector<std::uint32_t> terms) {
        Bytes value(terms.size() * 4);
        for (std::size_t i = 0; i < terms.size(); ++i)
            codecs::store32le(&value[4 * i], terms[i]);
        return Entry{tag, TIFF_RATIONAL, std::uint32_t(terms.size() / 2), value};
    };
    codecs::exif::Block block;
    block.ifd0 = {text(TIFFTAG_MAKE, "Quarbelcam")};
    block.exif = {rationals(EXIFTAG_EXPOSURETIME, {1, 250}),
                  text(EXIFTAG_DATETIMEORIGINAL, "2024:05:06 07:08:09"),
                  Entry{65000, TIFF_SHORT, 2, Bytes{7, 0, 9, 1}}, text(65001, "lens 7")};
    block.gps = {text(GPSTAG_LATITUDEREF, "N"), rationals(GPSTAG_LATITUDE, {48, 1, 7, 1, 2475, 100})};
    return codecs::exif::encode(block);
}

// The fields of cameraExif() as libtiff reads them back from the file's first page.
void expectCameraExif(const Bytes& file)
{
    TiffReader reader(file);
    reader.expect("Unknown field with tag 6500");
    TIFF* tiff = reader.get();
    ASSERT_NE(tiff, nullptr);
    const char* text = nullptr;
    ASSERT_TRUE(TIFFGetField(tiff, TIFFTAG_MAKE, &text));
    EXPECT_STREQ(text, "Quarbelcam");
    const Directory first = currentDirectory(tiff);
    ASSERT_NE(first.exifOffset, 0u);
    ASSERT_NE(first.gpsOffset, 0u);

    ASSERT_TRUE(TIFFReadEXIFDirectory(tiff, first.exifOffset));
    float exposure = 0;
    ASSERT_TRUE(TIFFGetField(tiff, EXIFTAG_EXPOSURETIME, &exposure));
    EXPECT_FLOAT_EQ(exposure, 1.0f / 250);
    ASSERT_TRUE(TIFFGetField(tiff, EXIFTAG_DATETIMEORIGINAL, &text));
    EXPECT_STREQ(text, "2024:05:06 07:08:09");
    std::uint32_t count = 0;
    const std::uint16_t* own = nullptr;
    ASSERT_TRUE(TIFFGetField(tiff, 65000, &count, &own)) << "the maker's own tag";
    EXPECT_EQ(Values(own, own + count), (Values{7, 265}));
    ASSERT_TRUE(TIFFGetField(tiff, 65001, &count, &text));
    EXPECT_EQ(std::string(text, count), std::string("lens 7", 7));

    ASSERT_TRUE(TIFFReadGPSDirectory(tiff, first.gpsOffset));
    ASSERT_TRUE(TIFFGetField(tiff, GPSTAG_LATITUDEREF, &text));
    EXPECT_STREQ(text, "N");
    const double* latitude = nullptr;
    ASSERT_TRUE(TIFFGetField(tiff, GPSTAG_LATITUDE, &latitude));
    EXPECT_EQ(std::vector<double>(latitude, latitude + 3), (std::vector<double>{48, 7, 24.75}));
}

bool isBigTiff(const Bytes& file)
{
    TiffReader reader(file);
    return reader.get() && TIFFIsBigTIFF(reader.get());
}

// A file that could outgrow classic TIFF's 4 GiB is written as BigTIFF, pages, sub-directories
// and all; one that cannot stays classic TIFF, which every reader knows. (A smaller limit
// stands in for 4 GiB.)
TEST(TiffOutput, FileThatMightPassTheClassicLimitIsBigTiff)
{
    constexpr int width = 400, page = 300;
    VImage picture = threePages(width, page, 3);
    const Bytes exif = cameraExif();
    vips_image_set_blob_copy(picture.get_image(), "exif-data", exif.data(), exif.size());
    const std::uint64_t samples = std::uint64_t(width) * page * 3 * 3;
    for (const std::uint64_t limit :
         {std::uint64_t(0xFFFFFFFFu), 2 * samples, samples / 2, std::uint64_t(1000)}) {
        SCOPED_TRACE(limit);
        const Bytes file = encodeTiff(picture, limit);
        EXPECT_EQ(isBigTiff(file), limit < samples);
        EXPECT_EQ(largestDifference(decodeIndependently(file, true), picture), 0)
            << "every sample comes back";
        const auto directories = readDirectories(file);
        ASSERT_EQ(directories.size(), 3u);
        for (const Directory& d : directories)
            expectBaselineFields(d, file, width, page, 3);
        expectCameraExif(file);
    }
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
