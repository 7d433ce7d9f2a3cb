// Convert: every source format to every target format, read back by another decoder, and the
// sources that need care (orientation, CMYK, 16 bits, grey, palette, animation).

#include "TestImages.h"

#include <gtest/gtest.h>

#include <thread>

namespace quarbel::imageservice::testing {
namespace {

using vips::VImage;

constexpr Kind kKinds[] = {Kind::Jpeg, Kind::Png, Kind::Gif, Kind::Bmp, Kind::Tiff, Kind::Webp, Kind::Avif};

bool lossy(Kind kind) { return kind == Kind::Jpeg || kind == Kind::Webp || kind == Kind::Avif; }

// How far a lossy target may stray from the master, per sample on 0..255.
double tolerance(Kind source, Kind target)
{
    double t = 2.0;
    if (lossy(source) || lossy(target))
        t += 2.5;
    if (lossy(source) && lossy(target) && !(source == Kind::Jpeg && target == Kind::Jpeg))
        t += 2.5;  // two different lossy codings
    if (source == Kind::Gif || target == Kind::Gif)
        t += 5.0;
    return t;
}

class ConvertMatrix : public ::testing::TestWithParam<std::tuple<Kind, Kind>> {};

TEST_P(ConvertMatrix, ResultHasTargetFormatSizePixelsAndTransparency)
{
    const auto [source, target] = GetParam();
    TempDir dir;
    const std::string path = dir.file(std::string("in.") + nameOf(source));
    writeFile(path, encodeMaster(source));

    ImageFile out;
    const Result r = convert(path, target, out);
    ASSERT_TRUE(r) << r.reason;
    EXPECT_EQ(out.FormatID(), formatIdOf(target));
    EXPECT_EQ(out.Width(), 96);
    EXPECT_EQ(out.Height(), 64);

    VImage back = decodeIndependently(out.FileData());
    ASSERT_EQ(back.width(), 96);
    ASSERT_EQ(back.height(), 64);
    EXPECT_LT(meanDifference(back, master()), tolerance(source, target));

    const bool alphaExpected = carriesAlpha(source) && carriesAlpha(target);
    EXPECT_EQ(back.has_alpha(), alphaExpected);
    const auto hole = pixelAt(back, 2, 2);     // transparent in the master
    const auto solid = pixelAt(back, 90, 60);  // opaque
    if (alphaExpected) {
        EXPECT_EQ(hole.back(), 0);
        EXPECT_EQ(solid.back(), 255);
    } else {
        for (int band = 0; band < 3; ++band)
            EXPECT_GE(hole[band], 240) << "transparency is flattened on white";
    }
}

INSTANTIATE_TEST_SUITE_P(AllPairs, ConvertMatrix,
                         ::testing::Combine(::testing::ValuesIn(kKinds), ::testing::ValuesIn(kKinds)),
                         [](const auto& info) {
                             return std::string(nameOf(std::get<0>(info.param))) + "_to_" +
                                    nameOf(std::get<1>(info.param));
                         });

TEST(Convert, JpegQualityIsUsed)
{
    TempDir dir;
    const std::string path = dir.file("in.png");
    writeFile(path, encodeMaster(Kind::Png, 400, 300));
    ImageFile low, high;
    ASSERT_TRUE(convert(path, Kind::Jpeg, low, "5"));
    ASSERT_TRUE(convert(path, Kind::Jpeg, high, "100"));
    EXPECT_LT(low.FileData().size() * 3, high.FileData().size());
    VImage back = decodeIndependently(high.FileData());
    EXPECT_LT(meanDifference(back, master(400, 300)), 1.5);
}

// A file whose stored pixels lie on their side, with EXIF orientation 6 (turn right).
TEST(Convert, ExifOrientationIsAppliedToThePixels)
{
    TempDir dir;
    const std::string path = dir.file("turned.jpg");
    writeFile(path, turnedJpeg(60, 40, 6));
    const VImage shown = opaque(master(60, 40)).rot(VIPS_ANGLE_D90);

    for (Kind target : {Kind::Png, Kind::Jpeg, Kind::Bmp}) {
        ImageFile out;
        ASSERT_TRUE(convert(path, target, out)) << nameOf(target);
        VImage back = decodeIndependently(out.FileData());
        ASSERT_EQ(back.width(), 40) << nameOf(target);
        ASSERT_EQ(back.height(), 60) << nameOf(target);
        EXPECT_LT(meanDifference(back, shown), 5.0) << nameOf(target);
        const int orientation = back.get_typeof("orientation") ? back.get_int("orientation") : 1;
        EXPECT_EQ(orientation, 1) << "a viewer must not turn it a second time";
    }
}

struct SpecialSource {
    const char* name;
    Bytes (*make)();
    VImage (*expected)();
    double tolerance;
};

// The master's colours pulled towards grey, so that they survive a trip through CMYK.
VImage muted()
{
    return (opaque(master()) * 0.5 + 64)
        .cast(VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

VImage mutedCmyk() { return muted().icc_export(VImage::option()->set("output_profile", "cmyk")); }

// The master in 64 colours: each channel cut to 0, 64, 128 or 192.
VImage quantised()
{
    return ((opaque(master()) / 64).cast(VIPS_FORMAT_UCHAR) * 64)
        .cast(VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

// An 8-bit palette BMP of quantised(), written field by field (no library writes these).
Bytes paletteBmp()
{
    VImage q = quantised().copy_memory();
    const int w = q.width(), h = q.height(), stride = (w + 3) & ~3;
    Bytes b;
    auto le = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b.push_back(std::uint8_t(v >> (8 * i)));
    };
    const std::uint32_t offset = 14 + 40 + 256 * 4;
    b.push_back('B');
    b.push_back('M');
    le(offset + std::uint32_t(stride * h), 4);
    le(0, 4);
    le(offset, 4);
    le(40, 4);
    le(std::uint32_t(w), 4);
    le(std::uint32_t(h), 4);
    le(1, 2);
    le(8, 2);
    le(0, 4);
    le(std::uint32_t(stride * h), 4);
    le(2835, 4);
    le(2835, 4);
    le(256, 4);
    le(0, 4);
    for (int i = 0; i < 256; ++i) {  // index = r/64 * 16 + g/64 * 4 + b/64, stored B, G, R, 0
        b.push_back(std::uint8_t((i & 3) * 64));
        b.push_back(std::uint8_t(((i >> 2) & 3) * 64));
        b.push_back(std::uint8_t(((i >> 4) & 3) * 64));
        b.push_back(0);
    }
    const auto* px = static_cast<const std::uint8_t*>(q.data());
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = px + (std::size_t(y) * w + x) * 3;
            b.push_back(std::uint8_t(p[0] / 64 * 16 + p[1] / 64 * 4 + p[2] / 64));
        }
        b.insert(b.end(), std::size_t(stride - w), 0);
    }
    return b;
}

const SpecialSource kSpecialSources[] = {
    {"palette_bmp", paletteBmp, quantised, 0.0},
    {"cmyk_with_profile", [] { return jpegBytes(mutedCmyk()); }, muted, 4.0},
    {"cmyk_without_profile",
     [] {
         VImage cmyk = mutedCmyk().copy();
         cmyk.remove("icc-profile-data");
         return jpegBytes(cmyk);
     },
     muted, 4.0},
    {"rgb16_png",
     [] {
         VImage wide = (master().cast(VIPS_FORMAT_USHORT) * 257)
                           .cast(VIPS_FORMAT_USHORT)
                           .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_RGB16));
         return take(wide.pngsave_buffer(VImage::option()->set("bitdepth", 16)));
     },
     [] { return master(); }, 1.0},
    {"grey_jpeg", [] { return jpegBytes(opaque(master()).colourspace(VIPS_INTERPRETATION_B_W)); },
     [] { return opaque(master()).colourspace(VIPS_INTERPRETATION_B_W); }, 3.0},
    {"palette_png", [] { return take(master().pngsave_buffer(VImage::option()->set("palette", true))); },
     [] { return master(); }, 6.0},
};

class SpecialSources : public ::testing::TestWithParam<SpecialSource> {};

TEST_P(SpecialSources, ConvertToEveryTargetLooksLikeTheSource)
{
    const SpecialSource& s = GetParam();
    TempDir dir;
    const std::string path = dir.file("in.img");
    writeFile(path, s.make());
    for (Kind target : kKinds) {
        ImageFile out;
        const Result r = convert(path, target, out);
        ASSERT_TRUE(r) << nameOf(target) << ": " << r.reason;
        VImage back = decodeIndependently(out.FileData());
        EXPECT_EQ(back.format(), VIPS_FORMAT_UCHAR) << nameOf(target);
        EXPECT_LT(meanDifference(back, s.expected()), s.tolerance + tolerance(Kind::Png, target))
            << nameOf(target);
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, SpecialSources, ::testing::ValuesIn(kSpecialSources),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Convert, AnimationKeepsItsFramesWhereTheTargetHoldsThem)
{
    TempDir dir;
    const std::string path = dir.file("anim.gif");
    writeFile(path, animatedGif());
    ImageFile loaded;
    ASSERT_TRUE(loaded.LoadFile(path));
    EXPECT_EQ(loaded.FrameCount(), 3);

    struct Case {
        Kind target;
        int frames;
    };
    for (const Case c : {Case{Kind::Gif, 3}, Case{Kind::Tiff, 3}, Case{Kind::Webp, 3}, Case{Kind::Png, 1},
                         Case{Kind::Jpeg, 1}, Case{Kind::Bmp, 1}, Case{Kind::Avif, 1}}) {
        ImageFile out;
        ASSERT_TRUE(convert(path, c.target, out)) << nameOf(c.target);
        EXPECT_EQ(out.FrameCount(), c.frames) << nameOf(c.target);
        VImage back = decodeIndependently(out.FileData(), true);
        EXPECT_EQ(back.width(), 20);
        EXPECT_EQ(back.height(), 10 * c.frames) << nameOf(c.target);
        // The last frame shown is the last frame of the source; one frame means the first.
        const auto last = pixelAt(back, 5, back.height() - 5);
        EXPECT_NEAR(last[0], c.frames == 3 ? 250 : 30, 12) << nameOf(c.target);
    }
}

TEST(Convert, ResultsOfConcurrentAppliesAreEachTheirOwn)
{
    TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i) {
        paths.push_back(dir.file("in" + std::to_string(i) + ".png"));
        writeFile(paths.back(), encodeMaster(Kind::Png, 200 + 40 * i, 150));
    }
    std::vector<ImageFile> outs(4);
    std::vector<Result> results(4);
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back(
            [&, i] { results[i] = convert(paths[i], i % 2 ? Kind::Jpeg : Kind::Gif, outs[i]); });
    for (auto& t : threads)
        t.join();
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(results[i]) << results[i].reason;
        VImage back = decodeIndependently(outs[i].FileData());
        EXPECT_EQ(back.width(), 200 + 40 * i);
        EXPECT_LT(meanDifference(back, master(200 + 40 * i, 150)), 10.0);
    }
}

TEST(Convert, LoadedPictureOutlivesItsFile)
{
    TempDir dir;
    const std::string path = dir.file("gone.png");
    writeFile(path, encodeMaster(Kind::Png));
    ImageFile in;
    ASSERT_TRUE(in.LoadFile(path));
    std::filesystem::remove(path);
    ImageProcess process;
    process.Filters().Add(process.FilterInfos("Convert").FilterID(), 0);
    process.Filters()(1).Properties("FormatID").Value = std::string(FormatID::BMP);
    ASSERT_TRUE(process.Apply(in, in)) << "the result may replace its own source object";
    EXPECT_EQ(in.FormatID(), FormatID::BMP);
    EXPECT_LT(meanDifference(decodeIndependently(in.FileData()), master()), 2.0);
}

}  // namespace
}  // namespace quarbel::imageservice::testing
