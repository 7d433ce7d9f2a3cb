// Convert from JPEG to JPEG with and without the coefficient fast path: the same metadata,
// pictures as close, and the same failures.

#include "TestImages.h"

#include "codecs/jpeg/Transcode.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace quarbel::imageservice::testing {
namespace {

using vips::VImage;

// Sets QUARBEL_JPEG_TRANSCODE while it lives.
class FastPath {
public:
    explicit FastPath(bool on) { setenv("QUARBEL_JPEG_TRANSCODE", on ? "1" : "0", 1); }
    ~FastPath() { unsetenv("QUARBEL_JPEG_TRANSCODE"); }
};

struct Both {
    Result fast, pixel;
    ImageFile fastOut, pixelOut;
};

Both convertBoth(const std::string& path, const std::string& quality)
{
    Both both;
    {
        FastPath on(true);
        both.fast = convert(path, Kind::Jpeg, both.fastOut, quality);
    }
    FastPath off(false);
    both.pixel = convert(path, Kind::Jpeg, both.pixelOut, quality);
    return both;
}

Bytes fileBytes(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A camera-like source: 4:2:0 at quality 95, with EXIF, XMP and an sRGB profile.
Bytes cameraJpeg(int width, int height)
{
    static const std::string xmp =
        "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf="
        "'http://www.w3.org/1999/02/22-rdf-syntax-ns#'>quarbel-xmp</rdf:RDF></x:xmpmeta>";
    static const Bytes icc = fileBytes("/usr/share/color/icc/colord/sRGB.icc");
    VImage image = opaque(master(width, height)).copy();
    image.set("exif-ifd0-Artist", "quarbel-artist");
    image.set("xmp-data", static_cast<VipsCallbackFn>(nullptr), const_cast<char*>(xmp.data()), xmp.size());
    image.set("icc-profile-data", static_cast<VipsCallbackFn>(nullptr), const_cast<std::uint8_t*>(icc.data()),
              icc.size());
    return take(image.jpegsave_buffer(
        VImage::option()->set("Q", 95)->set("subsample_mode", VIPS_FOREIGN_SUBSAMPLE_ON)));
}

bool contains(const Bytes& bytes, const std::string& text)
{
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

TEST(JpegTranscode, MetadataAndPictureAsOnThePixelPath)
{
    TempDir dir;
    const std::string path = dir.file("camera.jpg");
    writeFile(path, cameraJpeg(333, 250));
    const Both both = convertBoth(path, "75");
    ASSERT_TRUE(both.fast) << both.fast.reason;
    ASSERT_TRUE(both.pixel) << both.pixel.reason;
    // Different paths (a re-encode rounds twice through pixels)...
    EXPECT_NE(both.fastOut.FileData(), both.pixelOut.FileData());

    // ...with the very same metadata segments, which carry what the source had.
    const Bytes& fast = both.fastOut.FileData();
    const auto fastSegments = codecs::jpeg::metadataSegments(fast.data(), fast.size());
    const auto pixelSegments =
        codecs::jpeg::metadataSegments(both.pixelOut.FileData().data(), both.pixelOut.FileData().size());
    ASSERT_EQ(fastSegments.size(), pixelSegments.size());
    for (std::size_t i = 0; i < fastSegments.size(); ++i) {
        EXPECT_EQ(fastSegments[i].code, pixelSegments[i].code) << i;
        EXPECT_EQ(fastSegments[i].payload, pixelSegments[i].payload) << i;
    }
    VImage back = decodeIndependently(fast);
    EXPECT_EQ(std::string(back.get_string("exif-ifd0-Artist")).rfind("quarbel-artist", 0), 0u);
    EXPECT_EQ(std::string(back.get_string("exif-ifd2-PixelXDimension")).rfind("333 ", 0), 0u);
    EXPECT_EQ(std::string(back.get_string("exif-ifd2-PixelYDimension")).rfind("250 ", 0), 0u);
    EXPECT_TRUE(contains(fast, "quarbel-xmp"));
    EXPECT_TRUE(back.get_typeof("icc-profile-data"));

    EXPECT_EQ(both.fastOut.Width(), 333);
    EXPECT_EQ(both.fastOut.Height(), 250);
    const VImage source = decodeIndependently(readFile(path));
    EXPECT_LT(meanDifference(back, source),
              meanDifference(decodeIndependently(both.pixelOut.FileData()), source) + 0.1);
}

// Broken sources fare the same on both paths: those libjpeg finds broken fail with the same
// reason and leave the result untouched.
struct BrokenCase {
    const char* name;
    Bytes (*damage)(Bytes);
    bool detectable;  // libjpeg cannot tell every kind of damage from a picture
};

const BrokenCase kBrokenCases[] = {
    {"cut_with_end_marker",
     [](Bytes b) {
         b.resize(b.size() * 2 / 3);
         b.insert(b.end(), {0xFF, 0xD9});
         return b;
     },
     true},
    {"garbage_inside",
     [](Bytes b) {
         for (std::size_t i = b.size() / 2; i < b.size() / 2 + 300; ++i)
             b[i] = std::uint8_t(i * 7919 >> 3);
         return b;
     },
     false},
    {"cut_in_half",
     [](Bytes b) {
         b.resize(b.size() / 2);
         return b;
     },
     true},
};

class JpegTranscodeBroken : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(JpegTranscodeBroken, FailsAsOnThePixelPath)
{
    TempDir dir;
    const std::string path = dir.file("broken.jpg");
    writeFile(path, GetParam().damage(cameraJpeg(400, 300)));
    const Both both = convertBoth(path, "75");
    EXPECT_EQ(both.fast.ok, both.pixel.ok);
    EXPECT_EQ(both.fast.reason, both.pixel.reason);
    if (GetParam().detectable) {
        EXPECT_FALSE(both.fast);
        EXPECT_FALSE(both.fast.reason.empty());
        EXPECT_TRUE(both.fastOut.IsEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, JpegTranscodeBroken, ::testing::ValuesIn(kBrokenCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quarbel::imageservice::testing
