// Files that once made our own parsers read or write out of bounds, or pass off an empty
// picture as a success. Each goes through the entry point it reached; the sanitizer build of
// this test is what shows a memory fault, the expectations show the sound outcome.

#include "codecs/Failure.h"
#include "codecs/bmp/Bmp.h"
#include "codecs/exif/Exif.h"
#include "codecs/jpeg/Transcode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <string>

namespace quarbel::codecs {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readInput(const std::string& name)
{
    std::ifstream in(QUARBEL_SOURCE_DIR "/fuzz/regressions/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The EXIF block of a JPEG file (its APP1 segment), or the file itself when it is a block.
Bytes exifBlock(const Bytes& file)
{
    for (const jpeg::Marker& m : jpeg::metadataSegments(file.data(), file.size()))
        if (m.code == 0xE1)
            return m.payload;
    return file;
}

// The writer sorts a directory by tag, as TIFF asks; the source's order may be any.
void expectSameEntries(std::vector<exif::Entry> a, std::vector<exif::Entry> b)
{
    const auto byTag = [](const exif::Entry& x, const exif::Entry& y) { return x.tag < y.tag; };
    std::stable_sort(a.begin(), a.end(), byTag);
    std::stable_sort(b.begin(), b.end(), byTag);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].tag, b[i].tag);
        EXPECT_EQ(a[i].type, b[i].type);
        EXPECT_EQ(a[i].value, b[i].value) << "tag " << a[i].tag;
    }
}

// Read, describe as a written picture, write, read again: the same entries come back and
// IFD0 is where the header says.
void exifRoundTrip(const Bytes& file)
{
    const Bytes block = exifBlock(file);
    std::optional<exif::Block> parsed = exif::parse(block.data(), block.size());
    ASSERT_TRUE(parsed);
    for (const auto* entries : {&parsed->ifd0, &parsed->exif, &parsed->gps})
        for (const exif::Entry& e : *entries)
            EXPECT_FALSE(e.tag == exif::kExifIfd || e.tag == exif::kGpsIfd || e.tag == 0xA005 ||
                         e.tag == 0x0201)
                << "an offset into the source is kept: tag " << e.tag;
    exif::describe(*parsed, 1, 640, 480);
    const Bytes written = exif::encode(*parsed);
    ASSERT_GE(written.size(), 8u);
    EXPECT_NE(load32le(written.data() + 4), 0u) << "IFD0's offset was not written";
    const std::optional<exif::Block> again = exif::parse(written.data(), written.size());
    ASSERT_TRUE(again);
    expectSameEntries(parsed->ifd0, again->ifd0);
    expectSameEntries(parsed->exif, again->exif);
    expectSameEntries(parsed->gps, again->gps);
}

// A file that cannot be a picture fails with a reason that says why.
void bmpFails(const Bytes& file, const std::string& why)
{
    try {
        const bmp::Decoded decoded = bmp::decode(file.data(), file.size());
        ADD_FAILURE() << "decoded into " << decoded.pixels.width << " x " << decoded.pixels.height;
    } catch (const Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find(why), std::string::npos) << failure.what();
    }
}

void transcodeFails(const Bytes& file, const std::string& why)
{
    const jpeg::Transcoded result = jpeg::transcode(file.data(), file.size(), jpeg::Target{});
    EXPECT_EQ(result.outcome, jpeg::Outcome::Failed);
    EXPECT_NE(result.reason.find(why), std::string::npos) << result.reason;
}

enum class Entry { ExifRoundTrip, BmpDecode, JpegTranscode };

struct Case {
    const char* file;
    Entry entry;
    const char* reason;  // part of the failure's reason, where the file must fail
};

class HostileInput : public testing::TestWithParam<Case> {};

TEST_P(HostileInput, FailsCleanlyOrRoundTrips)
{
    const Case& c = GetParam();
    const Bytes file = readInput(c.file);
    ASSERT_FALSE(file.empty()) << c.file;
    switch (c.entry) {
    case Entry::ExifRoundTrip: exifRoundTrip(file); break;
    case Entry::BmpDecode: bmpFails(file, c.reason); break;
    case Entry::JpegTranscode: transcodeFails(file, c.reason); break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Regressions, HostileInput,
    testing::Values(Case{"exif-big-endian-valid.jpg", Entry::ExifRoundTrip, ""},
                    Case{"exif-block-ifd0-offset.tiff", Entry::ExifRoundTrip, ""},
                    Case{"exif-block-ifd0-offset-small.tiff", Entry::ExifRoundTrip, ""},
                    Case{"exif-empty-value-memcpy.bin", Entry::ExifRoundTrip, ""},
                    Case{"exif-two-exif-pointers.tiff", Entry::ExifRoundTrip, ""},
                    Case{"exif-stale-pointers.tiff", Entry::ExifRoundTrip, ""},
                    Case{"jpeg-coefficients-table-number-out-of-range.jpg", Entry::JpegTranscode,
                         "quantisation table"},
                    Case{"bmp-os2-truncated-28-bytes.bmp", Entry::BmpDecode, "truncated"},
                    Case{"bmp-os2-truncated-100-bytes.bmp", Entry::BmpDecode, "truncated"}),
    [](const testing::TestParamInfo<Case>& info) {
        std::string name = info.param.file;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

// The 12-byte OS/2 header's height is read signed by both our header reader and the
// decoder: a negative one means rows stored top-down, and the picture keeps its size.
TEST(HostileInput, Os2HeightIsReadAsTheDecoderReadsIt)
{
    Bytes file = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0, 0, 0, 2, 0, 0xFE, 0xFF, 1, 0, 24, 0};
    const Bytes rows = {0,   0, 255, 0,   255, 0,   0, 0,
                        255, 0, 0,   255, 255, 255, 0, 0};  // red green / blue white
    file.insert(file.end(), rows.begin(), rows.end());
    EXPECT_EQ(bmp::readHeader(file.data(), file.size()).height, 2);
    const bmp::Decoded decoded = bmp::decode(file.data(), file.size());
    ASSERT_EQ(decoded.pixels.height, 2);
    const std::uint8_t* topLeft = decoded.pixels.row(0);
    EXPECT_EQ((std::vector<int>{topLeft[0], topLeft[1], topLeft[2]}), (std::vector<int>{255, 0, 0}));
}

}  // namespace
}  // namespace quarbel::codecs
