// GIF output read back by two decoders of their own (libvips' and Qt's): few-colour pictures
// come back exactly, photographs close and no worse than libvips' own writer, transparency
// is one bit at alpha 128, and animations keep their frames, times and loop count.

#include "TestImages.h"

#include "jobs/imageservice/vips/Gif.h"
#include "jobs/imageservice/vips/Vips.h"

#include <QImage>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <random>

namespace quarbel::imageservice::testing {
namespace {

using vips::VImage;
using Rgb = std::array<std::uint8_t, 3>;

// ---- Pictures and decoders ---------------------------------------------------------------

// A picture of the given samples (rows one after another).
VImage pictureOf(const Bytes& samples, int width, int height, int bands)
{
    VImage image = VImage::new_from_memory(const_cast<std::uint8_t*>(samples.data()), samples.size(), width,
                                           height, bands, VIPS_FORMAT_UCHAR);
    const auto kind = bands <= 2 ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB;
    return image.copy(VImage::option()->set("interpretation", kind)).copy_memory();
}

// RGBA samples as a viewer shows them: alpha below 128 is transparent (its colour does not
// matter), everything else opaque in its own colour.
Bytes shown(const Bytes& samples, int bands)
{
    Bytes out;
    out.reserve(samples.size() / std::size_t(bands) * 4);
    for (std::size_t i = 0; i < samples.size(); i += std::size_t(bands)) {
        const std::uint8_t* p = &samples[i];
        const bool alpha = bands == 2 || bands == 4;
        const bool transparent = alpha && p[bands - 1] < 128;
        if (bands <= 2)
            out.insert(out.end(), {p[0], p[0], p[0]});
        else
            out.insert(out.end(), {p[0], p[1], p[2]});
        out.push_back(transparent ? 0 : 255);
    }
    return out;
}

Bytes rgbaOf(VImage image)
{
    if (image.bands() == 1)
        image = VImage::bandjoin({image, image, image});
    if (image.bands() == 3)
        image = image.bandjoin(255);
    image = image.cast(VIPS_FORMAT_UCHAR).copy_memory();
    const auto* data = static_cast<const std::uint8_t*>(image.data());
    return Bytes(data, data + std::size_t(image.width()) * std::size_t(image.height()) * 4);
}

Bytes decodedByVips(const Bytes& gif) { return rgbaOf(decodeIndependently(gif)); }

Bytes decodedByQt(const Bytes& gif, int& width, int& height)
{
    const QImage q =
        QImage::fromData(gif.data(), int(gif.size()), "GIF").convertToFormat(QImage::Format_RGBA8888);
    width = q.width();
    height = q.height();
    Bytes out(std::size_t(width) * std::size_t(height) * 4);
    for (int y = 0; y < height; ++y)
        std::memcpy(out.data() + std::size_t(y) * std::size_t(width) * 4, q.constScanLine(y),
                    std::size_t(width) * 4);
    return out;
}

// How many pixels differ (transparent pixels only by their alpha); the first one in `first`.
std::size_t mismatches(const Bytes& expected, const Bytes& got, std::string& first)
{
    if (expected.size() != got.size()) {
        first = "sizes differ";
        return expected.size() + got.size();
    }
    std::size_t bad = 0;
    for (std::size_t i = 0; i < expected.size(); i += 4) {
        const bool same = expected[i + 3] == 0 ? got[i + 3] == 0 : std::memcmp(&expected[i], &got[i], 4) == 0;
        if (!same && bad++ == 0)
            first = "pixel " + std::to_string(i / 4) + ": expected " + std::to_string(expected[i]) + "," +
                    std::to_string(expected[i + 1]) + "," + std::to_string(expected[i + 2]) + "," +
                    std::to_string(expected[i + 3]) + " got " + std::to_string(got[i]) + "," +
                    std::to_string(got[i + 1]) + "," + std::to_string(got[i + 2]) + "," +
                    std::to_string(got[i + 3]);
    }
    return bad;
}

// Checks that both decoders show exactly the expected RGBA pixels.
void expectDecodedExactly(const Bytes& gif, const Bytes& expected, int width, int height)
{
    std::string first;
    EXPECT_EQ(mismatches(expected, decodedByVips(gif), first), 0u) << "libvips: " << first;
    int qtWidth = 0, qtHeight = 0;
    const Bytes qt = decodedByQt(gif, qtWidth, qtHeight);
    ASSERT_EQ(qtWidth, width);
    ASSERT_EQ(qtHeight, height);
    EXPECT_EQ(mismatches(expected, qt, first), 0u) << "Qt: " << first;
}

// ---- The file's structure ------------------------------------------------------------------

struct GifFrame {
    int localEntries = 0;  // 0: the global table
    int disposal = -1;     // -1: no graphic control extension
    bool transparent = false;
    int transparentIndex = -1;
    int delay = -1;
};

struct GifLayout {
    int width = 0, height = 0;
    int globalEntries = 0;
    int loopCount = -1;  // the NETSCAPE2.0 repeat count, -1 without one
    std::vector<GifFrame> frames;
    bool complete = false;  // ends with the trailer
};

GifLayout layoutOf(const Bytes& gif)
{
    GifLayout out;
    if (gif.size() < 13 || std::memcmp(gif.data(), "GIF89a", 6) != 0)
        return out;
    auto le16 = [&](std::size_t at) { return gif[at] | gif[at + 1] << 8; };
    out.width = le16(6);
    out.height = le16(8);
    std::size_t at = 13;
    if (gif[10] & 0x80) {
        out.globalEntries = 2 << (gif[10] & 7);
        at += 3 * std::size_t(out.globalEntries);
    }
    auto skipBlocks = [&] {
        while (at < gif.size() && gif[at] != 0)
            at += gif[at] + 1u;
        ++at;
    };
    GifFrame pending;
    while (at < gif.size()) {
        const std::uint8_t kind = gif[at++];
        if (kind == 0x3B) {
            out.complete = true;
            break;
        }
        if (kind == 0x21) {
            const std::uint8_t label = gif[at++];
            if (label == 0xF9) {
                pending.disposal = (gif[at + 1] >> 2) & 7;
                pending.transparent = gif[at + 1] & 1;
                pending.delay = le16(at + 2);
                pending.transparentIndex = gif[at + 4];
            } else if (label == 0xFF && gif[at] == 11 && std::memcmp(&gif[at + 1], "NETSCAPE2.0", 11) == 0) {
                out.loopCount = le16(at + 14);
            }
            skipBlocks();
        } else if (kind == 0x2C) {
            const std::uint8_t flags = gif[at + 8];
            at += 9;
            if (flags & 0x80) {
                pending.localEntries = 2 << (flags & 7);
                at += 3 * std::size_t(pending.localEntries);
            }
            ++at;  // minimum code size
            skipBlocks();
            out.frames.push_back(pending);
            pending = GifFrame();
        } else {
            break;
        }
    }
    return out;
}

// ---- Pictures of few colours come back exactly -----------------------------------------------

struct Sample {
    const char* name;
    int width, height, bands;
    std::function<Bytes(int, int)> make;  // the samples of width x height pixels
    int tableEntries;                     // the smallest power of two holding the colours
};

void PrintTo(const Sample& sample, std::ostream* out) { *out << sample.name; }

// 256 distinct colours.
Rgb colourOf(int i) { return {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t((i * 37) & 0xFF)}; }

Bytes indexed(int width, int height, int bands, const std::function<int(int, int)>& index)
{
    Bytes out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int i = index(x, y);
            const auto c = colourOf(i & 0xFF);
            if (bands <= 2)
                out.push_back(std::uint8_t(i));
            else
                out.insert(out.end(), c.begin(), c.end());
            if (bands == 2 || bands == 4)
                out.push_back(i < 0 ? 0 : 255);  // negative index: transparent
        }
    return out;
}

const Sample kExact[] = {
    {"colours_256", 64, 64, 3,
     [](int w, int h) { return indexed(w, h, 3, [](int x, int y) { return (x + 7 * y) % 256; }); }, 256},
    {"colours_3", 30, 20, 3,
     [](int w, int h) { return indexed(w, h, 3, [](int x, int y) { return (x / 4 + y) % 3; }); }, 4},
    {"colours_2", 40, 30, 3,
     [](int w, int h) { return indexed(w, h, 3, [](int x, int y) { return (x + y) % 2 * 200; }); }, 2},
    {"colours_1", 17, 9, 3, [](int w, int h) { return indexed(w, h, 3, [](int, int) { return 42; }); }, 2},
    {"colours_255_transparent", 64, 64, 4,
     [](int w, int h) {
         return indexed(w, h, 4, [](int x, int y) { return (x + y) % 7 == 0 ? -1 : (x + 5 * y) % 255; });
     },
     256},
    {"colours_4_transparent", 20, 20, 4,
     [](int w, int h) {
         return indexed(w, h, 4, [](int x, int y) { return x < 5 ? -1 : (x + y) % 4 * 60; });
     },
     8},
    {"grey_256", 256, 3, 1, [](int w, int h) { return indexed(w, h, 1, [](int x, int) { return x; }); }, 256},
    {"grey_alpha_200", 200, 4, 2,
     [](int w, int h) { return indexed(w, h, 2, [](int x, int y) { return y == 1 ? -1 : x; }); }, 256},
    {"grey_alpha_5", 25, 5, 2,
     [](int w, int h) { return indexed(w, h, 2, [](int x, int y) { return y == 0 ? -1 : x / 5 * 50; }); }, 8},
    // The code stream at its edges: a single pixel; one long row of one colour (the longest
    // codes); a column; noise of all 256 colours, the worst case; and a large patterned
    // picture whose table fills with long strings. The last two fill the 4096-entry code
    // table dozens of times, and both keep a full table for a while and start it over.
    {"one_pixel", 1, 1, 3, [](int w, int h) { return indexed(w, h, 3, [](int, int) { return 9; }); }, 2},
    {"row_65535", 65535, 1, 3, [](int w, int h) { return indexed(w, h, 3, [](int, int) { return 200; }); },
     2},
    {"column_65535", 1, 65535, 3,
     [](int w, int h) { return indexed(w, h, 3, [](int, int y) { return y / 1000 % 3; }); }, 4},
    {"noise", 700, 500, 3,
     [](int w, int h) {
         std::mt19937 random(11);
         return indexed(w, h, 3, [&](int, int) { return int(random() % 256); });
     },
     256},
    {"pattern", 2000, 1500, 3,
     [](int w, int h) { return indexed(w, h, 3, [](int x, int y) { return (x * x / 64 + y / 3) % 16; }); },
     16},
};

class GifExactColours : public ::testing::TestWithParam<Sample> {};

TEST_P(GifExactColours, BothDecodersShowThePixelsExactlyWithTheSmallestTable)
{
    const Sample& c = GetParam();
    const Bytes samples = c.make(c.width, c.height);
    const Bytes gif = encodeGif(pictureOf(samples, c.width, c.height, c.bands));
    const GifLayout layout = layoutOf(gif);
    ASSERT_TRUE(layout.complete);
    EXPECT_EQ(layout.width, c.width);
    EXPECT_EQ(layout.height, c.height);
    EXPECT_EQ(layout.globalEntries, c.tableEntries);
    ASSERT_EQ(layout.frames.size(), 1u);
    EXPECT_EQ(layout.loopCount, -1) << "a single picture has no loop count";
    expectDecodedExactly(gif, shown(samples, c.bands), c.width, c.height);
}

INSTANTIATE_TEST_SUITE_P(Pictures, GifExactColours, ::testing::ValuesIn(kExact),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Transparency --------------------------------------------------------------------------

TEST(GifTransparency, AlphaBelowHalfIsTransparentTheRestOpaqueInItsColour)
{
    // Four colours, each at alpha 0, 127, 128 and 255.
    const int alphas[] = {0, 127, 128, 255};
    Bytes samples;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const auto c = colourOf(y % 4 * 50);
            samples.insert(samples.end(), c.begin(), c.end());
            samples.push_back(std::uint8_t(alphas[x % 4]));
        }
    const Bytes gif = encodeGif(pictureOf(samples, 16, 8, 4));
    const GifLayout layout = layoutOf(gif);
    ASSERT_EQ(layout.frames.size(), 1u);
    EXPECT_TRUE(layout.frames[0].transparent);
    EXPECT_EQ(layout.globalEntries, 8) << "four colours and the transparent entry";
    expectDecodedExactly(gif, shown(samples, 4), 16, 8);
}

TEST(GifTransparency, ManyColoursKeepTheirHoleAndComeClose)
{
    // The master's top-left third is transparent, the rest a ramp of thousands of colours.
    const VImage source = master(300, 200);
    const Bytes gif = encodeGif(source);
    const VImage back = decodeIndependently(gif);
    ASSERT_TRUE(back.has_alpha());
    EXPECT_EQ((back.extract_band(3) == (source.extract_band(3) >= 128).ifthenelse(255, 0)).min(), 255)
        << "every pixel's alpha is right";
    EXPECT_LT(meanDifference(back, source), 5.0);
    EXPECT_FALSE(layoutOf(encodeGif(opaque(source))).frames.at(0).transparent)
        << "an opaque picture uses no transparent entry";
}

// ---- Photographs -----------------------------------------------------------------------------

// A photograph stand-in: smooth colour ramps over a fine texture, far more than 256 colours.
VImage photoLike(int width, int height)
{
    VImage ramps = opaque(master(width, height)).cast(VIPS_FORMAT_FLOAT);
    VImage xy = VImage::xyz(width, height);
    VImage texture = ((xy.extract_band(0) * 0.7).sin() * (xy.extract_band(1) * 0.45).cos() * 12.0);
    VImage out = (ramps * 0.8 + 20 + texture).cast(VIPS_FORMAT_UCHAR);
    return out.copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB)).copy_memory();
}

// Mean difference per sample after both are blurred a little, as an eye at a normal
// distance averages a dither pattern.
double blurredDifference(const VImage& a, const VImage& b)
{
    auto prepared = [](VImage image) {
        if (image.has_alpha())
            image = opaque(image);
        return image.cast(VIPS_FORMAT_FLOAT).gaussblur(1.0);
    };
    return (prepared(a) - prepared(b)).abs().avg();
}

TEST(GifPhotograph, ComesBackCloseAndNoWorseThanLibvipsOwnWriter)
{
    const VImage source = photoLike(640, 480);
    const Bytes ours = encodeGif(source);
    const Bytes theirs = take(source.gifsave_buffer(VImage::option()->set("dither", 1.0)->set("effort", 7)));
    const GifLayout layout = layoutOf(ours);
    EXPECT_EQ(layout.globalEntries, 256);
    ASSERT_EQ(layout.frames.size(), 1u);
    EXPECT_FALSE(layout.frames[0].transparent);

    const VImage back = decodeIndependently(ours);
    EXPECT_LT(meanDifference(back, source), 4.0);
    const double ourError = blurredDifference(back, source);
    const double theirError = blurredDifference(decodeIndependently(theirs), source);
    EXPECT_LE(ourError, theirError) << "ours " << ourError << ", libvips " << theirError;
    EXPECT_LE(ours.size(), theirs.size() * 11 / 10);

    int width = 0, height = 0;
    const Bytes qt = decodedByQt(ours, width, height);
    std::string first;
    EXPECT_EQ(mismatches(rgbaOf(back), qt, first), 0u) << "the two decoders disagree: " << first;
}

TEST(GifPhotograph, GreyWithTransparencyAndAllLevelsStaysCloseAndKeepsItsHole)
{
    // All 256 grey levels plus transparent pixels need 257 entries: one level has to go.
    Bytes samples;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x)
            samples.insert(samples.end(), {std::uint8_t(x), std::uint8_t(y < 8 ? 0 : 255)});
    const Bytes gif = encodeGif(pictureOf(samples, 256, 64, 2));
    const Bytes expected = shown(samples, 2), got = decodedByVips(gif);
    ASSERT_EQ(got.size(), expected.size());
    int worst = 0;
    for (std::size_t i = 0; i < got.size(); i += 4) {
        ASSERT_EQ(got[i + 3], expected[i + 3]) << "pixel " << i / 4;
        if (expected[i + 3])
            worst = std::max(worst, std::abs(int(got[i]) - int(expected[i])));
    }
    EXPECT_LE(worst, 8);
}

// ---- Animations ------------------------------------------------------------------------------

// Frames stacked with page-height, as libvips holds an animation.
VImage animation(std::vector<VImage> frames, std::vector<int> delays, int loop)
{
    const int page = frames[0].height();
    VImage strip = VImage::arrayjoin(frames, VImage::option()->set("across", 1)).copy();
    strip.set("page-height", page);
    strip.set("delay", delays);
    strip.set("loop", loop);
    return strip;
}

VImage flat(int width, int height, std::vector<double> colour)
{
    return (VImage::black(width, height, VImage::option()->set("bands", int(colour.size()))) + colour)
        .cast(VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

class GifAnimationLoop : public ::testing::TestWithParam<int> {};

TEST_P(GifAnimationLoop, FramesDelaysAndLoopCountSurvive)
{
    const int loop = GetParam();
    const std::vector<VImage> frames = {flat(20, 10, {30, 200, 90}), flat(20, 10, {140, 60, 90}),
                                        flat(20, 10, {250, 5, 90})};
    const std::vector<int> delays = {100, 250, 1234};
    const Bytes gif = encodeGif(animation(frames, delays, loop));

    const VImage back = decodeIndependently(gif, true);
    ASSERT_EQ(back.width(), 20);
    ASSERT_EQ(back.height(), 30);
    EXPECT_EQ(back.get_int("n-pages"), 3);
    EXPECT_EQ(back.get_int("loop"), loop);
    // Delays are whole hundredths of a second in the file.
    EXPECT_EQ(back.get_array_int("delay"), (std::vector<int>{100, 250, 1230}));
    for (int f = 0; f < 3; ++f) {
        const auto pixel = pixelAt(back, 10, 10 * f + 5);
        const auto expected = pixelAt(frames[std::size_t(f)], 10, 5);
        for (int band = 0; band < 3; ++band)
            EXPECT_EQ(pixel[std::size_t(band)], expected[std::size_t(band)]) << "frame " << f;
    }
    const GifLayout layout = layoutOf(gif);
    EXPECT_EQ(layout.frames.size(), 3u);
    EXPECT_EQ(layout.globalEntries, 4) << "three flat frames share one table";
}

// libvips' loop: 0 plays for ever, n plays n times.
INSTANTIATE_TEST_SUITE_P(Loops, GifAnimationLoop, ::testing::Values(0, 1, 3),
                         [](const auto& info) { return "loop_" + std::to_string(info.param); });

TEST(GifAnimation, ATransparentFrameDoesNotShowTheFrameBeforeIt)
{
    VImage hole = flat(20, 10, {0, 0, 255, 255}).copy();
    hole = hole.insert(flat(10, 10, {0, 0, 0, 0}), 0, 0);  // left half transparent
    const Bytes gif = encodeGif(animation(
        {flat(20, 10, {255, 0, 0, 255}), hole, flat(20, 10, {0, 255, 0, 255})}, {100, 100, 100}, 0));
    for (const GifFrame& frame : layoutOf(gif).frames) {
        EXPECT_TRUE(frame.transparent);
        EXPECT_EQ(frame.disposal, 2) << "each frame is cleared before the next";
    }
    const VImage back = decodeIndependently(gif, true);
    ASSERT_EQ(back.height(), 30);
    EXPECT_EQ(pixelAt(back, 5, 15).back(), 0) << "the second frame's hole is transparent";
    EXPECT_EQ(pixelAt(back, 15, 15), (std::vector<double>{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(back, 5, 25), (std::vector<double>{0, 255, 0, 255}));
}

TEST(GifAnimation, FramesOfManyColoursEachGetTheirOwnPalette)
{
    const VImage first = photoLike(120, 90);
    const VImage second = (photoLike(120, 90).rot180() * 0.5)
                              .cast(VIPS_FORMAT_UCHAR)
                              .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    const Bytes gif = encodeGif(animation({first, second}, {50, 50}, 0));
    const GifLayout layout = layoutOf(gif);
    ASSERT_EQ(layout.frames.size(), 2u);
    EXPECT_EQ(layout.globalEntries, 0);
    for (const GifFrame& frame : layout.frames) {
        EXPECT_EQ(frame.localEntries, 256);
        EXPECT_EQ(frame.disposal, 1) << "opaque frames simply cover each other";
    }
    const VImage back = decodeIndependently(gif, true);
    ASSERT_EQ(back.height(), 180);
    EXPECT_LT(meanDifference(back.crop(0, 0, 120, 90), first), 4.0);
    EXPECT_LT(meanDifference(back.crop(0, 90, 120, 90), second), 4.0);
}

// ---- Bad input -------------------------------------------------------------------------------

TEST(GifInput, PicturesAGifCannotHoldFailWithAReason)
{
    const VImage wide = VImage::black(70000, 2).cast(VIPS_FORMAT_UCHAR);
    EXPECT_THROW(encodeGif(wide), vips_util::Failure);
    const VImage deep = VImage::black(10, 10, VImage::option()->set("bands", 3)).cast(VIPS_FORMAT_USHORT);
    EXPECT_THROW(encodeGif(deep), vips_util::Failure);
    // A great many one-pixel frames: each would cost more bytes than its pixel.
    VImage frames =
        VImage::black(1, 100001, VImage::option()->set("bands", 3)).cast(VIPS_FORMAT_UCHAR).copy();
    frames.set("page-height", 1);
    EXPECT_THROW(encodeGif(frames), vips_util::Failure);
}

}  // namespace
}  // namespace quarbel::imageservice::testing
