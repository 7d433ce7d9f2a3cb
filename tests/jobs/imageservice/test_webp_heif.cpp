// WebP, AVIF and HEIC files as other programs write them (cwebp, gif2webp, ImageMagick,
// heif-enc; ImageMagick 6 writes AVIF without alpha), through every target; recognised by their content;
// scaled into their own format; animations and the HEIF rule for orientation.

#include "TestImages.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QStandardPaths>

namespace quarbel::imageservice::testing {
namespace {

using vips::VImage;

constexpr Kind kTargets[] = {Kind::Jpeg, Kind::Png, Kind::Gif, Kind::Bmp, Kind::Tiff, Kind::Webp, Kind::Avif};

// Runs an encoder of the machine; the test fails when it is missing or fails.
void runTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    ASSERT_TRUE(tool.waitForFinished(120000)) << program.toStdString() << " did not finish";
    ASSERT_EQ(tool.exitCode(), 0) << program.toStdString() << ": "
                                  << tool.readAllStandardError().toStdString();
}

QString q(const std::string& path) { return QString::fromStdString(path); }

// ImageMagick's own program, not a stand-in earlier on the PATH.
const QString kMagick = QStringLiteral("/usr/bin/convert");

// A JPEG of the opaque master with a camera name and EXIF orientation 6.
void writePhoto(const std::string& path)
{
    VImage photo = opaque(master()).copy();
    photo.set("orientation", 6);
    photo.set("exif-ifd0-Make", "Quarbelcam");
    writeFile(path, jpegBytes(photo, 98));
}

struct MadeFile {
    const char* name;
    const char* fileName;
    void (*make)(const TempDir& dir, const std::string& out);
    bool alpha;        // the file carries the master's transparency
    double tolerance;  // how far its pixels may be from the master's
};

const MadeFile kMadeFiles[] = {
    {"cwebp_lossy", "lossy.webp",
     [](const TempDir& d, const std::string& out) {
         writeFile(d.file("in.png"), take(opaque(master()).pngsave_buffer()));
         runTool("cwebp", {"-quiet", "-q", "90", q(d.file("in.png")), "-o", q(out)});
     },
     false, 3.0},
    {"cwebp_lossless_alpha", "lossless.webp",
     [](const TempDir& d, const std::string& out) {
         writeFile(d.file("in.png"), encodeMaster(Kind::Png));
         runTool("cwebp", {"-quiet", "-lossless", q(d.file("in.png")), "-o", q(out)});
     },
     true, 0.5},
    {"magick_webp_alpha", "alpha.webp",
     [](const TempDir& d, const std::string& out) {
         writeFile(d.file("in.png"), encodeMaster(Kind::Png));
         runTool(kMagick, {q(d.file("in.png")), "-quality", "90", q(out)});
     },
     true, 3.0},
    {"heif_enc_avif_alpha", "alpha.avif",
     [](const TempDir& d, const std::string& out) {
         writeFile(d.file("in.png"), encodeMaster(Kind::Png));
         runTool("heif-enc", {"-A", "-q", "90", q(d.file("in.png")), "-o", q(out)});
     },
     true, 3.0},
    {"heif_enc_photo", "photo.heic",
     [](const TempDir& d, const std::string& out) {
         writePhoto(d.file("photo.jpg"));
         runTool("heif-enc", {"-q", "92", q(d.file("photo.jpg")), "-o", q(out)});
     },
     false, 4.0},
};

double targetTolerance(Kind target)
{
    switch (target) {
    case Kind::Jpeg:
    case Kind::Webp:
    case Kind::Avif: return 2.5;
    case Kind::Gif: return 5.0;
    default: return 0.5;
    }
}

class MadeFiles : public ::testing::TestWithParam<MadeFile> {};

TEST_P(MadeFiles, ConvertToEveryTargetAndPreview)
{
    const MadeFile& f = GetParam();
    TempDir dir;
    const std::string path = dir.file(f.fileName);
    f.make(dir, path);
    if (::testing::Test::HasFatalFailure())
        return;
    for (Kind target : kTargets) {
        ImageFile out;
        const Result r = convert(path, target, out);
        ASSERT_TRUE(r) << nameOf(target) << ": " << r.reason;
        EXPECT_EQ(out.FormatID(), formatIdOf(target));
        // A HEIF file is shown as it is stored: the format turns pictures with its own
        // transform boxes, and the EXIF orientation it carries is not applied again.
        VImage back = decodeIndependently(out.FileData());
        ASSERT_EQ(back.width(), 96) << nameOf(target);
        ASSERT_EQ(back.height(), 64) << nameOf(target);
        EXPECT_LT(meanDifference(back, master()), f.tolerance + targetTolerance(target)) << nameOf(target);
        EXPECT_EQ(back.has_alpha(), f.alpha && carriesAlpha(target)) << nameOf(target);
        if (f.alpha && carriesAlpha(target)) {
            EXPECT_LT(pixelAt(back, 2, 2).back(), 8) << nameOf(target);
            EXPECT_GT(pixelAt(back, 90, 60).back(), 247) << nameOf(target);
        }
    }
    const PreviewResult preview = decodePreview(path, 48, 48);
    ASSERT_TRUE(preview.result) << preview.result.reason;
    EXPECT_EQ(preview.fullWidth, 96);
    EXPECT_EQ(preview.fullHeight, 64);
    EXPECT_EQ(preview.width, 48);
    EXPECT_EQ(preview.height, 32);
}

INSTANTIATE_TEST_SUITE_P(Encoders, MadeFiles, ::testing::ValuesIn(kMadeFiles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WebpHeif, ScaleKeepsEachSourcesOwnFormat)
{
    TempDir dir;
    writePhoto(dir.file("photo.jpg"));
    runTool("heif-enc", {"-q", "80", q(dir.file("photo.jpg")), "-o", q(dir.file("photo.heic"))});
    writeFile(dir.file("pic.webp"), encodeMaster(Kind::Webp));
    writeFile(dir.file("pic.avif"), encodeMaster(Kind::Avif));
    for (const auto& [name, id] :
         {std::pair{"photo.heic", FormatID::HEIF}, std::pair{"pic.webp", FormatID::WEBP},
          std::pair{"pic.avif", FormatID::AVIF}}) {
        ImageFile out;
        const Result r = scale(dir.file(name), "40", "30", out);
        ASSERT_TRUE(r) << name << ": " << r.reason;
        EXPECT_EQ(out.FormatID(), id) << name;
        VImage back = decodeIndependently(out.FileData());
        EXPECT_EQ(back.width(), 40) << name;
        EXPECT_EQ(back.height(), 30) << name;
        EXPECT_LT(meanDifference(back, master(40, 30)), 12.0) << name;
    }
}

TEST(WebpHeif, RecognisedByContentNotByName)
{
    TempDir dir;
    writeFile(dir.file("really-webp.jpg"), encodeMaster(Kind::Webp));
    writeFile(dir.file("really-avif.heic"), encodeMaster(Kind::Avif));
    writeFile(dir.file("really-png.webp"), encodeMaster(Kind::Png));
    for (const auto& [name, id] :
         {std::pair{"really-webp.jpg", FormatID::WEBP}, std::pair{"really-avif.heic", FormatID::AVIF},
          std::pair{"really-png.webp", FormatID::PNG}}) {
        ImageFile in;
        ASSERT_TRUE(in.LoadFile(dir.file(name))) << name;
        EXPECT_EQ(in.FormatID(), id) << name;
    }
}

// gif2webp's animation, and ours from a GIF: frames, delays and loop count.
TEST(WebpHeif, AnimationsKeepFramesDelaysAndLoop)
{
    TempDir dir;
    writeFile(dir.file("anim.gif"), animatedGif({40, 80, 120}, 3));
    runTool("gif2webp", {"-quiet", q(dir.file("anim.gif")), "-o", q(dir.file("anim.webp"))});

    for (const char* source : {"anim.gif", "anim.webp"}) {
        ImageFile out;
        ASSERT_TRUE(convert(dir.file(source), Kind::Webp, out)) << source;
        EXPECT_EQ(out.FrameCount(), 3) << source;
        VImage back = decodeIndependently(out.FileData(), true);
        ASSERT_EQ(back.height(), 30) << source;
        EXPECT_EQ(back.get_array_int("delay"), (std::vector<int>{40, 80, 120})) << source;
        EXPECT_EQ(back.get_int("loop"), 3) << source;
        EXPECT_NEAR(pixelAt(back, 5, 25)[0], 250, 12) << source;
        // AVIF holds the first frame.
        ImageFile still;
        ASSERT_TRUE(convert(dir.file(source), Kind::Avif, still)) << source;
        EXPECT_EQ(still.FrameCount(), 1);
        EXPECT_NEAR(pixelAt(decodeIndependently(still.FileData()), 5, 5)[0], 30, 12) << source;
    }
}

}  // namespace
}  // namespace quarbel::imageservice::testing
