// Camera raw files in the Image Service's own process: recognised by their content, refused
// outside a confined worker, and previewed (in a process that says it is confined) at the
// developed picture's size, turned, from the camera's preview or in colour from the raw data.

#include "TestImages.h"
#include "codecs/raw/Ahd.h"
#include "codecs/raw/CameraRaw.h"
#include "jobs/imageservice/vips/Sniff.h"

#include <gtest/gtest.h>
#include <libraw/libraw.h>

#include <array>
#include <cstdlib>
#include <limits>
#include <memory>
#include <random>
#include <string_view>

namespace quarbel::imageservice::testing {
namespace {

Bytes makeDng(const TempDir& dir, const std::string& arguments)
{
    const std::string path = dir.file("made.dng");
    const std::string command = QUARBEL_SOURCE_DIR "/scripts/make-dng " + path + " " + arguments;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return readFile(path);
}

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

class TrustScope {
public:
    explicit TrustScope(DecoderTrust trust) : m_before(decoderTrust()) { setDecoderTrust(trust); }
    ~TrustScope() { setDecoderTrust(m_before); }

private:
    DecoderTrust m_before;
};

TEST(CameraRaw, RecognisedByContentNotByBeingTiff)
{
    TempDir dir;
    const Bytes tiff = encodeMaster(Kind::Tiff);
    const Bytes cut = makeDng(dir, "--size 16x16 --cut 200");
    using F = Format;
    const struct {
        const char* name;
        Bytes bytes;
        bool raw;   // looksLikeCameraRaw
        F sniffed;  // the sniffer, which tries the formats that their first bytes decide first
    } cases[] = {
        {"Bayer DNG", makeDng(dir, "--size 16x16"), true, F::CameraRaw},
        {"linear DNG", makeDng(dir, "--size 16x16 --kind linear"), true, F::CameraRaw},
        {"DNG with its preview first", makeDng(dir, "--size 16x16 --preview 8x8"), true, F::CameraRaw},
        {"DNG cut inside its directory", cut, true, F::CameraRaw},
        {"plain TIFF", tiff, false, F::Tiff},
        {"JPEG", jpegBytes(master()), false, F::Jpeg},
        {"CR2", bytesOf(std::string_view("II*\0\x10\0\0\0CR\x02\0\0\0\0\0", 16)), true, F::CameraRaw},
        {"CR3",
         bytesOf(std::string_view("\0\0\0\x10"
                                  "ftypcrx \0\0\0\x01",
                                  16)),
         true, F::CameraRaw},
        {"HEIC",
         bytesOf(std::string_view("\0\0\0\x10"
                                  "ftypheic\0\0\0\0",
                                  16)),
         false, F::Heif},
        {"JPEG with a CR3 brand after its marker",
         bytesOf(std::string_view("\xFF\xD8\xFF\x1C"
                                  "ftypcrx \0\0\0\0",
                                  16)),
         true, F::Jpeg},
        {"RAF", bytesOf("FUJIFILMCCD-RAW 0201FF383501"), true, F::CameraRaw},
        {"ORF", bytesOf(std::string_view("IIRO\x08\0\0\0", 8)), true, F::CameraRaw},
        {"RW2", bytesOf(std::string_view("IIU\0\x08\0\0\0", 8)), true, F::CameraRaw},
        {"TIFF header only", bytesOf(std::string_view("II*\0\x08\0\0\0", 8)), false, F::Tiff},
        {"TIFF whose first directory lies outside",
         bytesOf(std::string_view("MM\0*\xff\xff\xff\xf0zzzzzzzz", 16)), false, F::Tiff},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(codecs::raw::looksLikeCameraRaw(c.bytes), c.raw) << c.name;
        EXPECT_EQ(sniffFormat(c.bytes.data(), c.bytes.size()), c.sniffed) << c.name;
    }
}

TEST(CameraRaw, RefusedOutsideAConfinedWorker)
{
    TempDir dir;
    TrustScope trust(DecoderTrust::InProcess);
    writeFile(dir.file("a.dng"), makeDng(dir, "--size 32x16"));
    ImageFile image;
    const Result loaded = image.LoadFile(dir.file("a.dng"));
    EXPECT_FALSE(loaded);
    EXPECT_NE(loaded.reason.find("only decoded in a worker process"), std::string::npos) << loaded.reason;
    const PreviewResult preview = decodePreview(dir.file("a.dng"), 100, 100);
    EXPECT_FALSE(preview.result);
    EXPECT_NE(preview.result.reason.find("only decoded in a worker process"), std::string::npos);
}

// The camera's own preview (make-dng's is flat yellow) when it covers the box, else the raw
// data developed; either turned, with the developed picture's size reported.
TEST(CameraRaw, PreviewShowsTheCamerasPreviewOrTheDevelopedPicture)
{
    TempDir dir;
    TrustScope trust(DecoderTrust::Confined);
    enum Shows { RedAt, Yellow };
    const struct {
        const char* options;
        int fullW, fullH, boxW, boxH, shownW, shownH;
        Shows shows;
        int x, y;  // a pixel of the preview that shows it
    } cases[] = {
        {"--size 96x64", 96, 64, 48, 48, 48, 32, RedAt, 12, 8},
        {"--size 96x64 --kind linear --orientation 6", 64, 96, 200, 200, 64, 96, RedAt, 48, 24},
        {"--size 96x64 --preview 60x40", 96, 64, 48, 48, 48, 32, Yellow, 24, 16},
        {"--size 96x64 --preview 60x40 --orientation 6", 64, 96, 48, 48, 32, 48, Yellow, 16, 24},
        {"--size 96x64 --preview 16x10", 96, 64, 48, 48, 48, 32, RedAt, 12, 8},  // too small to use
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        writeFile(dir.file("p.dng"), makeDng(dir, c.options));
        const PreviewResult p = decodePreview(dir.file("p.dng"), c.boxW, c.boxH);
        ASSERT_TRUE(p.result) << p.result.reason;
        EXPECT_EQ(p.fullWidth, c.fullW);
        EXPECT_EQ(p.fullHeight, c.fullH);
        ASSERT_EQ(p.width, c.shownW);
        ASSERT_EQ(p.height, c.shownH);
        const std::uint8_t* at = &p.rgb[(std::size_t(c.y) * p.width + c.x) * 3];
        if (c.shows == Yellow) {
            EXPECT_GT(at[1], at[2] + 120);
            EXPECT_NEAR(at[0], 240, 12);
        } else {
            EXPECT_GT(at[0], at[1] + 120);
            EXPECT_GT(at[0], at[2] + 120);
        }
    }
}

// A binary PPM of noise, so that every sample and the tone curve's brightness depend on the
// pixels.
void writeNoise(const std::string& path, int width, int height)
{
    std::mt19937 random(7);
    std::string ppm = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int i = 0; i < width * height * 3; ++i)
        ppm += char(random() % 256);
    writeFile(path, Bytes(ppm.begin(), ppm.end()));
}

// LibRaw's own development and 8-bit copy with the settings ours uses, turned as it turns.
Bytes developedByLibRaw(const Bytes& dng, bool half)
{
    auto raw = std::make_unique<LibRaw>();
    EXPECT_EQ(raw->open_buffer(const_cast<std::uint8_t*>(dng.data()), dng.size()), LIBRAW_SUCCESS);
    raw->imgdata.params.use_camera_wb = 1;
    raw->imgdata.params.output_color = 1;
    raw->imgdata.params.output_bps = 8;
    raw->imgdata.params.user_qual = 3;
    raw->imgdata.params.half_size = half;
    EXPECT_EQ(raw->unpack(), LIBRAW_SUCCESS);
    EXPECT_EQ(raw->dcraw_process(), LIBRAW_SUCCESS);
    int error = 0;
    libraw_processed_image_t* image = raw->dcraw_make_mem_image(&error);
    if (!image)
        return {};
    Bytes pixels(image->data, image->data + image->data_size);
    LibRaw::dcraw_clear_mem(image);
    return pixels;
}

// Our development spreads LibRaw's per-pixel passes and the 8-bit copy over threads, and
// demosaics with its own AHD: the result must be LibRaw's own, byte for byte, however the
// rows are cut into bands, the picture into tiles, and whichever way the black level is
// subtracted.
TEST(CameraRaw, DevelopedOnThreadsAsLibRawDevelops)
{
    TempDir dir;
    writeNoise(dir.file("61x47.ppm"), 61, 47);
    writeNoise(dir.file("301x263.ppm"), 301, 263);
    const struct {
        const char* dimensions;
        const char* options;
        codecs::raw::Size size;
        int threads;
    } cases[] = {
        {"61x47", "", codecs::raw::Size::Full, 1},
        {"61x47", "", codecs::raw::Size::Full, 3},
        {"61x47", "--black 600", codecs::raw::Size::Full, 2},
        {"61x47", "--black 500,520,540,560", codecs::raw::Size::Full, 7},
        {"61x47", "--black 800", codecs::raw::Size::Half, 3},
        {"61x47", "--kind linear --black 300", codecs::raw::Size::Full, 2},
        {"61x47", "--kind linear --black 500,520,540,560", codecs::raw::Size::Full, 5},
        {"61x47", "--kind linear", codecs::raw::Size::Full, 64},
        {"301x263", "--black 200", codecs::raw::Size::Full, 3},  // tiles overlap both ways
    };
    for (const auto& c : cases) {
        const std::string dimensions = c.dimensions;
        SCOPED_TRACE(dimensions + " " + c.options + ", threads " + std::to_string(c.threads));
        const Bytes dng =
            makeDng(dir, "--size " + dimensions + " --source " + dir.file(dimensions + ".ppm") + " " + c.options);
        const codecs::raw::Picture picture = codecs::raw::develop(
            dng, {codecs::raw::Trust::Confined, std::uint64_t(1) << 30, c.threads}, c.size);
        const Bytes ours(picture.pixels, picture.pixels + std::size_t(picture.width) * picture.height * picture.bands);
        const Bytes theirs = developedByLibRaw(dng, c.size == codecs::raw::Size::Half);
        ASSERT_EQ(ours.size(), theirs.size());
        EXPECT_TRUE(ours == theirs);
    }
}

// The demosaicing takes what LibRaw hands it from any file: a pattern naming a fourth colour
// is refused untouched (LibRaw's own AHD would index past each pixel), and pictures too small
// to have an inside are left as they are; under the sanitizers nothing reads out of bounds.
TEST(CameraRaw, DemosaicingRefusesAFourthColourAndSmallPicturesStayInBounds)
{
    const std::vector<float> cubeRoot(0x10000, 0.5f);
    codecs::raw::LabConversion lab;
    lab.cubeRoot = cubeRoot.data();
    const struct {
        unsigned filters;
        int width, height;
        bool done, changed;
    } cases[] = {
        {0x94949494, 14, 12, true, true},   // red, green / green, blue
        {0x16161616, 11, 11, true, true},   // blue, green / green, red
        {0x94949494, 10, 30, true, false},  // nothing lies 5 pixels from both edges
        {0xe1e4e1e4, 16, 16, false, false},
        {0x9494949c, 16, 16, false, false},  // one place of sixteen says colour 3
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        std::mt19937 random(5);
        std::vector<std::array<std::uint16_t, 4>> image(std::size_t(c.width) * c.height);
        for (auto& pixel : image)
            pixel = {std::uint16_t(random()), std::uint16_t(random()), std::uint16_t(random()), 0};
        const auto before = image;
        const bool done = codecs::raw::interpolateAhd(
            {reinterpret_cast<std::uint16_t(*)[4]>(image.data()), c.width, c.height, c.filters}, lab, 2);
        EXPECT_EQ(done, c.done);
        EXPECT_EQ(image != before, c.changed);
    }
    // A damaged file's colour matrix: sums beyond any number are still taken to the table's ends.
    lab.xyzFromCamera[0][0] = std::numeric_limits<float>::infinity();
    lab.xyzFromCamera[1][1] = std::numeric_limits<float>::quiet_NaN();
    std::vector<std::array<std::uint16_t, 4>> image(16 * 16, {1000, 2000, 3000, 0});
    EXPECT_TRUE(codecs::raw::interpolateAhd({reinterpret_cast<std::uint16_t(*)[4]>(image.data()), 16, 16, 0x94949494},
                                            lab, 1));
}

}  // namespace
}  // namespace quarbel::imageservice::testing
