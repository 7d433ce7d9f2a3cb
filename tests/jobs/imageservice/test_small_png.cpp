// Small PNGs to JPEG without the libvips pipeline: the same file, byte for byte, as the
// pipeline writes, for every kind of plain PNG; everything else left to the pipeline.

#include "TestImages.h"

#include "jobs/imageservice/vips/SmallPng.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <functional>
#include <random>

namespace quarbel::imageservice::testing {
namespace {

using vips::VImage;

constexpr int kWidth = 37, kHeight = 23;

void put32(Bytes& out, std::uint32_t v)
{
    for (int shift : {24, 16, 8, 0})
        out.push_back(std::uint8_t(v >> shift));
}

Bytes chunk(const std::string& type, const Bytes& data, bool goodCrc = true)
{
    Bytes out;
    put32(out, std::uint32_t(data.size()));
    Bytes body(type.begin(), type.end());
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    put32(out, std::uint32_t(crc32(0, body.data(), uInt(body.size()))) ^ (goodCrc ? 0u : 1u));
    return out;
}

// A PNG of kWidth x kHeight with `extra` chunks before its data; each row holds
// ceil(width * bitsPerPixel / 8) noisy bytes.
Bytes png(int colour, int depth, int samples, const Bytes& extra = {}, int width = kWidth)
{
    const std::size_t rowBytes = (std::size_t(width) * std::size_t(samples * depth) + 7) / 8;
    std::mt19937 noise(unsigned(colour * 100 + depth));
    Bytes raw;
    for (int y = 0; y < kHeight; ++y) {
        raw.push_back(0);
        for (std::size_t x = 0; x < rowBytes; ++x)
            raw.push_back(colour == 3 ? std::uint8_t(noise() % 4) : std::uint8_t(noise()));
    }
    uLongf size = compressBound(uLong(raw.size()));
    Bytes packed(size);
    compress(packed.data(), &size, raw.data(), uLong(raw.size()));
    packed.resize(size);
    Bytes header;
    put32(header, std::uint32_t(width));
    put32(header, kHeight);
    header.insert(header.end(), {std::uint8_t(depth), std::uint8_t(colour), 0, 0, 0});
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (const Bytes& part : {chunk("IHDR", header), extra, chunk("IDAT", packed), chunk("IEND", {})})
        file.insert(file.end(), part.begin(), part.end());
    return file;
}

Bytes palette(bool transparent)
{
    Bytes plte = chunk("PLTE", {255, 0, 0, 0, 128, 255, 20, 200, 90, 250, 250, 250});
    if (transparent) {
        const Bytes trns = chunk("tRNS", {255, 0, 128});
        plte.insert(plte.end(), trns.begin(), trns.end());
    }
    return plte;
}

Bytes phys(std::uint32_t x, std::uint32_t y, std::uint8_t unit)
{
    Bytes data;
    put32(data, x);
    put32(data, y);
    data.push_back(unit);
    return chunk("pHYs", data);
}

Bytes text(const std::string& key, const std::string& value, bool international = false, bool goodCrc = true)
{
    Bytes data(key.begin(), key.end());
    data.push_back(0);
    if (international)
        data.insert(data.end(), {0, 0, 0, 0});  // uncompressed, no language, no translated key
    data.insert(data.end(), value.begin(), value.end());
    return chunk(international ? "iTXt" : "tEXt", data, goodCrc);
}

Bytes exifTurned()  // EXIF, little-endian, with orientation 6
{
    return chunk("eXIf", {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 1, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0});
}

struct Case {
    const char* name;
    std::function<Bytes()> make;
    bool direct;  // taken without the pipeline
    int quality = 75;
};

const Case kCases[] = {
    {"rgb", [] { return png(2, 8, 3); }, true},
    {"rgb_full_chroma", [] { return png(2, 8, 3); }, true, 95},
    {"rgba", [] { return png(6, 8, 4); }, true},
    {"grey", [] { return png(0, 8, 1); }, true},
    {"grey_alpha", [] { return png(4, 8, 2); }, true},
    {"palette", [] { return png(3, 8, 1, palette(false)); }, true},
    {"palette_transparent", [] { return png(3, 2, 1, palette(true)); }, true},
    {"grey_1_bit", [] { return png(0, 1, 1); }, true},
    {"grey_4_bit_keyed", [] { return png(0, 4, 1, chunk("tRNS", {0, 7})); }, true},
    {"rgb_keyed", [] { return png(2, 8, 3, chunk("tRNS", {0, 10, 0, 20, 0, 30})); }, true},
    {"dpi_300", [] { return png(2, 8, 3, phys(11811, 11811, 1)); }, true},
    {"aspect_only", [] { return png(2, 8, 3, phys(1, 2, 0)); }, true},
    {"comment", [] { return png(2, 8, 3, text("Comment", "made by a test")); }, true},
    {"interlaced",
     [] {
         const Bytes plain = png(2, 8, 3);
         return take(VImage::new_from_buffer(plain.data(), plain.size(), "")
                         .pngsave_buffer(VImage::option()->set("interlace", true)));
     },
     true},
    {"sixteen_bit", [] { return png(2, 16, 3); }, false},
    {"exif_turned", [] { return png(2, 8, 3, exifTurned()); }, false},
    {"xmp", [] { return png(2, 8, 3, text("XML:com.adobe.xmp", "<x:xmpmeta/>", true)); }, false},
    {"bad_chunk_checksum", [] { return png(2, 8, 3, text("Comment", "damaged", false, false)); }, false},
    {"cut_short", [] { Bytes b = png(2, 8, 3); b.resize(b.size() - 40); return b; }, false},
    {"larger_than_512_squared", [] { return png(2, 8, 3, {}, 12000); }, false},
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class SmallPng : public ::testing::TestWithParam<Case> {};

TEST_P(SmallPng, SameFileAsThePipeline)
{
    const Case& c = GetParam();
    const Bytes file = c.make();
    TempDir dir;
    const std::string path = dir.file("small.png");
    writeFile(path, file);
    const std::string quality = std::to_string(c.quality);

    ImageFile viaPipeline, viaDefault;
    setenv("QUARBEL_SMALL_PNG", "0", 1);
    const Result pipeline = convert(path, Kind::Jpeg, viaPipeline, quality);
    unsetenv("QUARBEL_SMALL_PNG");
    const Result usual = convert(path, Kind::Jpeg, viaDefault, quality);
    ASSERT_EQ(usual.ok, pipeline.ok) << usual.reason << " / " << pipeline.reason;
    EXPECT_EQ(usual.reason, pipeline.reason);
    if (pipeline) {
        EXPECT_TRUE(viaDefault.FileData() == viaPipeline.FileData());
    }

    SourceInfo info{Format::Png, c.name == std::string("larger_than_512_squared") ? 12000 : kWidth, kHeight};
    const auto direct = smallPngToJpeg(file, info, c.quality);
    ASSERT_EQ(direct.has_value(), c.direct);
    if (direct) {
        EXPECT_TRUE(*direct == viaPipeline.FileData());
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SmallPng, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quarbel::imageservice::testing
