// Hostile, broken and odd input: each fails with a reason, never crashes or hangs, and
// never leaves a picture behind.

#include "TestImages.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <sys/stat.h>

#include <algorithm>
#include <random>

namespace quarbel::imageservice::testing {
namespace {

constexpr Kind kTargets[] = {Kind::Jpeg, Kind::Png, Kind::Gif, Kind::Bmp, Kind::Tiff};

void put32be(Bytes& b, std::uint32_t v)
{
    for (int shift : {24, 16, 8, 0})
        b.push_back(std::uint8_t(v >> shift));
}

// A PNG whose header claims width x height, followed by a tiny data chunk.
Bytes pngClaiming(std::uint32_t width, std::uint32_t height)
{
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr = {'I', 'H', 'D', 'R'};
    put32be(ihdr, width);
    put32be(ihdr, height);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    put32be(png, 13);
    png.insert(png.end(), ihdr.begin(), ihdr.end());
    put32be(png, std::uint32_t(crc32(0, ihdr.data(), uInt(ihdr.size()))));
    Bytes idat = {'I', 'D', 'A', 'T', 0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01};
    put32be(png, std::uint32_t(idat.size() - 4));
    png.insert(png.end(), idat.begin(), idat.end());
    put32be(png, std::uint32_t(crc32(0, idat.data(), uInt(idat.size()))));
    Bytes iend = {'I', 'E', 'N', 'D'};
    put32be(png, 0);
    png.insert(png.end(), iend.begin(), iend.end());
    put32be(png, std::uint32_t(crc32(0, iend.data(), uInt(iend.size()))));
    return png;
}

Bytes truncated(Bytes bytes, double keep)
{
    bytes.resize(std::size_t(double(bytes.size()) * keep));
    return bytes;
}

Bytes randomBytes()
{
    std::mt19937 random(7);
    Bytes bytes(4096);
    for (auto& b : bytes)
        b = std::uint8_t(random());
    return bytes;
}

Bytes heicBytes()
{
    return take(master(300, 200).heifsave_buffer(
        vips::VImage::option()->set("Q", 80)->set("compression", VIPS_FOREIGN_HEIF_COMPRESSION_HEVC)));
}

// A HEIF file whose image-size property claims width x height.
Bytes heicClaiming(std::uint32_t width, std::uint32_t height)
{
    Bytes heic = heicBytes();
    const char* ispe = "ispe";
    const auto at = std::search(heic.begin(), heic.end(), ispe, ispe + 4);
    if (at == heic.end() || heic.end() - at < 16)
        throw std::runtime_error("no ispe box in the HEIF file");
    Bytes size;
    put32be(size, width);
    put32be(size, height);
    std::copy(size.begin(), size.end(), at + 8);
    return heic;
}

// The bytes from `from` to `to` of the file overwritten, as a damaged disk or download would.
Bytes damaged(Bytes bytes, std::size_t from, std::size_t to)
{
    for (std::size_t i = from; i < to && i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(bytes[i] ^ 0x5A);
    return bytes;
}

struct BadFile {
    const char* name;
    const char* fileName;
    Bytes (*make)();
    const char* reasonPart;  // expected in the reason of whichever step fails
};

const BadFile kBadFiles[] = {
    {"truncated_jpeg", "cut.jpg", [] { return truncated(encodeMaster(Kind::Jpeg, 300, 200), 0.5); }, ""},
    {"truncated_png", "cut.png", [] { return truncated(encodeMaster(Kind::Png, 300, 200), 0.5); }, ""},
    {"truncated_gif", "cut.gif", [] { return truncated(encodeMaster(Kind::Gif, 300, 200), 0.5); }, ""},
    {"truncated_bmp", "cut.bmp", [] { return truncated(encodeMaster(Kind::Bmp, 300, 200), 0.5); }, ""},
    {"truncated_tiff", "cut.tif", [] { return truncated(encodeMaster(Kind::Tiff, 300, 200), 0.5); }, ""},
    {"truncated_opaque_png", "cut-rgb.png",
     [] { return truncated(take(opaque(master(300, 200)).pngsave_buffer()), 0.5); }, ""},
    {"truncated_opaque_tiff", "cut-rgb.tif",
     [] { return truncated(take(opaque(master(300, 200)).tiffsave_buffer()), 0.5); }, ""},
    {"huge_png_header", "huge.png", [] { return pngClaiming(100000, 100000); }, "larger than"},
    {"impossible_png_header", "zero.png", [] { return pngClaiming(0, 5); }, ""},
    {"random_bytes", "noise.jpg", randomBytes, "not a supported image format"},
    {"text", "notes.png",
     [] {
         const std::string t = "not a picture\n";
         return Bytes(t.begin(), t.end());
     },
     "not a supported image format"},
    {"empty", "empty.gif", [] { return Bytes(); }, "empty"},
    {"jpeg_magic_only", "magic.jpg",
     [] {
         return Bytes{0xFF, 0xD8, 0xFF};
     },
     ""},
    {"truncated_webp", "cut.webp", [] { return truncated(encodeMaster(Kind::Webp, 300, 200), 0.5); }, ""},
    {"damaged_webp_header", "bad.webp", [] { return damaged(encodeMaster(Kind::Webp, 300, 200), 12, 40); },
     ""},
    {"truncated_heic", "cut.heic", [] { return truncated(heicBytes(), 0.5); }, ""},
    {"damaged_heic_boxes", "bad.heic", [] { return damaged(heicBytes(), 40, 120); }, ""},
    {"truncated_avif", "cut.avif", [] { return truncated(encodeMaster(Kind::Avif, 300, 200), 0.6); }, ""},
    {"huge_heic_header", "huge.heic", [] { return heicClaiming(100000, 100000); }, ""},
    {"large_heic_header", "large.heic", [] { return heicClaiming(20000, 20000); }, "exceeds"},
};

class BadFiles : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadFiles, FailWithAReasonForEveryTarget)
{
    const BadFile& f = GetParam();
    TempDir dir;
    const std::string path = dir.file(f.fileName);
    writeFile(path, f.make());
    for (Kind target : kTargets) {
        ImageFile out;
        const Result r = convert(path, target, out);
        ASSERT_FALSE(r) << nameOf(target);
        EXPECT_FALSE(r.reason.empty());
        EXPECT_NE(r.reason.find(f.reasonPart), std::string::npos) << r.reason;
        EXPECT_TRUE(out.IsEmpty());
    }
    // Small and large reductions, an enlargement and both at once go through different
    // scalers, and each must notice that the decoder gave up.
    for (const auto& [width, height] :
         {std::pair{"10", "10"}, std::pair{"20", "10"}, std::pair{"100", "80"}, std::pair{"290", "190"},
          std::pair{"600", "50"}, std::pair{"600", "400"}}) {
        ImageFile out;
        const Result r = scale(path, width, height, out);
        EXPECT_FALSE(r) << width << " x " << height;
        EXPECT_TRUE(out.IsEmpty());
    }
    const PreviewResult preview = decodePreview(path, 120, 90);
    EXPECT_FALSE(preview.result) << "preview";
}

INSTANTIATE_TEST_SUITE_P(Files, BadFiles, ::testing::ValuesIn(kBadFiles),
                         [](const auto& info) { return std::string(info.param.name); });

// With more than one libvips thread, whether a decoding failure reached the end of some
// scaling pipelines depended on timing: run the race many times.
TEST(BadInput, CutPictureFailsEveryTime)
{
    TempDir dir;
    const std::string path = dir.file("cut.png");
    Bytes png = take(opaque(master(80, 60)).pngsave_buffer());
    png.resize(200);
    writeFile(path, png);
    int succeeded = 0;
    for (int i = 0; i < 40; ++i)
        for (const char* width : {"20", "10"}) {
            ImageFile out;
            if (scale(path, width, "10", out))
                ++succeeded;
        }
    EXPECT_EQ(succeeded, 0) << "a cut picture was scaled as if it were whole";
}

TEST(BadInput, FailedLoadEmptiesTheImage)
{
    TempDir dir;
    writeFile(dir.file("good.png"), encodeMaster(Kind::Png));
    writeFile(dir.file("bad.png"), randomBytes());
    ImageFile image;
    ASSERT_TRUE(image.LoadFile(dir.file("good.png")));
    EXPECT_FALSE(image.LoadFile(dir.file("bad.png")));
    EXPECT_TRUE(image.IsEmpty()) << "a failed item must not write the previous item's picture";
    EXPECT_TRUE(image.FormatID().empty());
}

TEST(BadInput, NoRegularFileFailsWithoutHanging)
{
    TempDir dir;
    fs::create_directory(dir.file("folder.jpg"));
    ASSERT_EQ(::mkfifo(dir.file("pipe.jpg").c_str(), 0600), 0);
    for (const char* name : {"folder.jpg", "pipe.jpg", "missing.jpg"}) {
        ImageFile image;
        const Result r = image.LoadFile(dir.file(name));
        EXPECT_FALSE(r) << name;
        EXPECT_NE(r.reason.find(dir.file(name)), std::string::npos) << r.reason;
    }
}

TEST(BadInput, LargeHeaderIsRefusedBeforeDecodingAndLimitIsAdjustable)
{
    TempDir dir;
    writeFile(dir.file("in.png"), encodeMaster(Kind::Png, 100, 100));
    writeFile(dir.file("in.heic"), heicBytes());
    for (const char* name : {"in.png", "in.heic"}) {
        setMaxPixels(9999);
        ImageFile image;
        const Result r = image.LoadFile(dir.file(name));
        setMaxPixels(0);
        EXPECT_FALSE(r) << name;
        EXPECT_NE(r.reason.find("larger than 9999 pixels"), std::string::npos) << r.reason;
        EXPECT_TRUE(image.LoadFile(dir.file(name))) << name;
    }
}

// The malformed and odd pictures that gdk-pixbuf's own tests use. Every one either converts
// into a file of the target format or fails with a reason.
TEST(BadInput, GdkPixbufTestPicturesNeverCrash)
{
    const fs::path root = "/usr/libexec/installed-tests/gdk-pixbuf";
    if (!fs::is_directory(root))
        GTEST_SKIP() << "the package gdk-pixbuf-tests is not installed";
    int files = 0, loaded = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file() || entry.file_size() == 0 ||
            (entry.status().permissions() & fs::perms::owner_exec) != fs::perms::none)
            continue;
        ++files;
        const PreviewResult preview = decodePreview(entry.path().string(), 64, 64);
        EXPECT_TRUE(preview.result || !preview.result.reason.empty()) << entry.path();
        ImageFile in;
        const Result load = in.LoadFile(entry.path().string());
        if (!load) {
            EXPECT_FALSE(load.reason.empty()) << entry.path();
            continue;
        }
        ++loaded;
        for (Kind target : kTargets) {
            ImageProcess process;
            process.Filters().Add(process.FilterInfos("Convert").FilterID(), 0);
            process.Filters()(1).Properties("FormatID").Value = std::string(formatIdOf(target));
            ImageFile out;
            const Result r = process.Apply(in, out);
            if (r) {
                EXPECT_EQ(out.FormatID(), formatIdOf(target)) << entry.path();
                EXPECT_GT(out.FileData().size(), 8u) << entry.path();
            } else {
                EXPECT_FALSE(r.reason.empty()) << entry.path();
                EXPECT_TRUE(out.IsEmpty()) << entry.path();
            }
        }
    }
    EXPECT_GT(files, 100);
    EXPECT_GT(loaded, 20);
}

// libvips keeps one error text for the whole process: one picture's failure must not become
// the reason given for the next one's.
TEST(BadInput, EachFailureGivesItsOwnReason)
{
    TempDir dir;
    writeFile(dir.file("cut.tif"), truncated(encodeMaster(Kind::Tiff, 300, 200), 0.3));
    writeFile(dir.file("cut.gif"), truncated(encodeMaster(Kind::Gif, 300, 200), 0.5));
    auto reasonFor = [&](const char* name) {
        ImageFile out;
        const Result r = convert(dir.file(name), Kind::Jpeg, out);
        EXPECT_FALSE(r) << name;
        return r.reason;
    };
    for (int round = 0; round < 2; ++round) {
        const std::string tiff = reasonFor("cut.tif");
        const std::string gif = reasonFor("cut.gif");
        EXPECT_NE(tiff, gif);
        EXPECT_EQ(gif.find("TIFF"), std::string::npos) << gif;
        EXPECT_EQ(gif.find("seek"), std::string::npos) << gif;
        EXPECT_EQ(reasonFor("cut.tif"), tiff) << "after a GIF failed";
    }
}

}  // namespace
}  // namespace quarbel::imageservice::testing
