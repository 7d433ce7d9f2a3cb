// The JPEG transcoder: which files it takes, how close its results are to a re-encode from
// pixels (libvips decoding and encoding the same source), and how it fails on broken files.

#include "codecs/jpeg/Transcode.h"

#include <gtest/gtest.h>
#include <vips/vips8>

#include <jpeglib.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>

namespace quarbel::codecs::jpeg {
namespace {

using vips::VImage;
using Bytes = std::vector<std::uint8_t>;

const bool kStarted = (VIPS_INIT("codecs_jpeg_tests"), true);

// Photograph-like: smooth colour ramps under fine texture of several scales.
VImage scene(int width, int height)
{
    VImage xy = VImage::xyz(width, height);
    VImage x = xy.extract_band(0), y = xy.extract_band(1);
    auto texture = [&](double sigma, int seed) {
        return VImage::gaussnoise(width, height, VImage::option()->set("sigma", 40.0)->set("seed", seed))
            .gaussblur(sigma);
    };
    VImage r = x * (200.0 / width) + texture(0.8, 1) - 128 + 30;
    VImage g = y * (200.0 / height) + texture(2.0, 2) - 128 + 30;
    VImage b = (x + y) * (100.0 / (width + height)) + texture(1.2, 3) - 128 + 90;
    return r.bandjoin(g)
        .bandjoin(b)
        .cast(VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB))
        .copy_memory();
}

Bytes take(VipsBlob* blob)
{
    const auto* area = reinterpret_cast<VipsArea*>(blob);
    Bytes bytes(static_cast<const std::uint8_t*>(area->data),
                static_cast<const std::uint8_t*>(area->data) + area->length);
    vips_area_unref(VIPS_AREA(blob));
    return bytes;
}

// Sources halve their chroma unless told otherwise, as cameras do.
Bytes jpeg(const VImage& image, int quality, VipsForeignSubsample subsample = VIPS_FOREIGN_SUBSAMPLE_ON,
           bool progressive = false)
{
    return take(image.jpegsave_buffer(VImage::option()
                                          ->set("Q", quality)
                                          ->set("subsample_mode", subsample)
                                          ->set("interlace", progressive)));
}

VImage decode(const Bytes& bytes)
{
    return VImage::new_from_buffer(bytes.data(), bytes.size(), "",
                                   VImage::option()->set("fail_on", VIPS_FAIL_ON_WARNING))
        .copy_memory();
}

// What a re-encode from pixels gives: libvips decodes and encodes at the quality (halving
// the chroma below 90).
Bytes reencoded(const Bytes& source, int quality)
{
    return jpeg(decode(source), quality, VIPS_FOREIGN_SUBSAMPLE_AUTO);
}

double psnr(const VImage& a, const VImage& b)
{
    const double mse = (a.cast(VIPS_FORMAT_FLOAT) - b.cast(VIPS_FORMAT_FLOAT)).pow(2).avg();
    return 10 * std::log10(255.0 * 255.0 / mse);
}

Bytes fileBytes(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

VImage withField(VImage image, const char* name, const Bytes& blob)
{
    image = image.copy();
    image.set(name, static_cast<VipsCallbackFn>(nullptr), const_cast<std::uint8_t*>(blob.data()),
              blob.size());
    return image;
}

Chroma chromaAt(int quality) { return quality >= 90 ? Chroma::Full : Chroma::Halved; }

// What a file's header says, read by libjpeg itself.
struct Header {
    std::vector<std::vector<unsigned>> tables;  // per component, natural order
    std::vector<std::pair<int, int>> sampling;
};

Header headerOf(const Bytes& bytes)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), bytes.size());
    jpeg_read_header(&info, TRUE);
    Header header;
    for (int ci = 0; ci < info.num_components; ++ci) {
        const jpeg_component_info& c = info.comp_info[ci];
        const JQUANT_TBL* table = info.quant_tbl_ptrs[c.quant_tbl_no];
        header.tables.emplace_back(table->quantval, table->quantval + DCTSIZE2);
        header.sampling.emplace_back(c.h_samp_factor, c.v_samp_factor);
    }
    jpeg_destroy_decompress(&info);
    return header;
}

// Which files take the fast path, and why the others do not.
struct DecisionCase {
    const char* name;
    std::function<Bytes()> make;
    int quality;
    Outcome expected;
    const char* reasonPart;
};

const VImage& photo()
{
    static const VImage image = scene(203, 141);  // not a whole number of blocks either way
    return image;
}

const DecisionCase kDecisionCases[] = {
    {"baseline_420", [] { return jpeg(photo(), 92); }, 75, Outcome::Requantised, ""},
    {"progressive_420", [] { return jpeg(photo(), 92, VIPS_FOREIGN_SUBSAMPLE_ON, true); }, 75,
     Outcome::Requantised, ""},
    {"grey", [] { return jpeg(photo().colourspace(VIPS_INTERPRETATION_B_W), 92); }, 60, Outcome::Requantised,
     ""},
    {"full_chroma_at_90", [] { return jpeg(photo(), 98, VIPS_FOREIGN_SUBSAMPLE_OFF); }, 90,
     Outcome::Requantised, ""},
    {"srgb_profile",
     [] {
         return jpeg(
             withField(photo(), "icc-profile-data", fileBytes("/usr/share/color/icc/colord/sRGB.icc")), 92);
     },
     75, Outcome::Requantised, ""},
    {"target_finer_than_source", [] { return jpeg(photo(), 50); }, 75, Outcome::Copied, ""},
    {"cmyk", [] { return jpeg(photo().icc_transform("cmyk"), 92); }, 75, Outcome::NotEligible,
     "neither YCbCr"},
    {"adobe_rgb_profile",
     [] {
         return jpeg(withField(photo(), "icc-profile-data",
                               fileBytes("/usr/share/color/icc/colord/AdobeRGB1998.icc")),
                     92);
     },
     75, Outcome::NotEligible, "colour profile"},
    {"orientation_6",
     [] {
         VImage turned = photo().copy();
         turned.set("orientation", 6);
         return jpeg(turned, 92);
     },
     75, Outcome::NotEligible, "orientation"},
    {"full_chroma_below_90", [] { return jpeg(photo(), 92, VIPS_FOREIGN_SUBSAMPLE_OFF); }, 75,
     Outcome::NotEligible, "chroma sampling"},
    {"halved_chroma_at_90", [] { return jpeg(photo(), 97, VIPS_FOREIGN_SUBSAMPLE_ON); }, 90,
     Outcome::NotEligible, "chroma sampling"},
};

class Decision : public ::testing::TestWithParam<DecisionCase> {};

TEST_P(Decision, TakesOnlyFilesWhoseResultMatchesARencode)
{
    const DecisionCase& c = GetParam();
    const Bytes source = c.make();
    Target target;
    target.quality = c.quality;
    target.chroma = chromaAt(c.quality);
    const Transcoded result = transcode(source.data(), source.size(), target);
    EXPECT_EQ(int(result.outcome), int(c.expected)) << result.reason;
    EXPECT_EQ(int(decide(source.data(), source.size(), target).outcome), int(c.expected));
    EXPECT_NE(result.reason.find(c.reasonPart), std::string::npos) << result.reason;
    EXPECT_EQ(result.written(), !result.bytes.empty());
    if (c.expected == Outcome::Copied) {  // the very same coefficients and tables
        EXPECT_EQ(psnr(decode(result.bytes), decode(source)), INFINITY);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, Decision, ::testing::ValuesIn(kDecisionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Decision, PicturesTooLargeForMemoryTakeThePixelPath)
{
    const Bytes source = jpeg(photo(), 92);
    Target target;
    target.maxCoefficientBytes = 203 * 141;  // less than a coefficient per pixel
    const Transcoded result = transcode(source.data(), source.size(), target);
    EXPECT_EQ(int(result.outcome), int(Outcome::NotEligible));
    EXPECT_NE(result.reason.find("too large"), std::string::npos) << result.reason;
}

// Results: as close to the source as a re-encode, with the tables and sampling a re-encode
// writes, and the given metadata segments in place of the source's.
struct ResultCase {
    const char* name;
    int width, height, sourceQuality, quality;
    VipsForeignSubsample sourceSampling;  // ON: 4:2:0, OFF: 4:4:4
    bool grey;
};

constexpr auto kHalved = VIPS_FOREIGN_SUBSAMPLE_ON, kFull = VIPS_FOREIGN_SUBSAMPLE_OFF;
const ResultCase kResultCases[] = {
    {"photo_q97_to_20", 640, 480, 97, 20, kHalved, false},
    {"photo_q97_to_50", 640, 480, 97, 50, kHalved, false},
    {"photo_q92_to_75", 333, 250, 92, 75, kHalved, false},
    {"photo_q97_to_89", 640, 480, 97, 89, kHalved, false},
    {"photo_q100_to_90", 333, 250, 100, 90, kFull, false},
    {"photo_q100_to_95", 640, 480, 100, 95, kFull, false},
    {"grey_q95_to_70", 333, 250, 95, 70, kHalved, true},
};

class Results : public ::testing::TestWithParam<ResultCase> {};

TEST_P(Results, AsCloseToTheSourceAsAReencodeWithItsTables)
{
    const ResultCase& c = GetParam();
    VImage picture = scene(c.width, c.height);
    if (c.grey)
        picture = picture.colourspace(VIPS_INTERPRETATION_B_W);
    const Bytes source = jpeg(picture, c.sourceQuality, c.sourceSampling);
    Target target;
    target.quality = c.quality;
    target.chroma = chromaAt(c.quality);
    target.markers = {{0xE1, {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0}},
                      {0xFE, {'h', 'e', 'l', 'l', 'o'}}};
    const Transcoded fast = transcode(source.data(), source.size(), target);
    ASSERT_EQ(int(fast.outcome), int(Outcome::Requantised)) << fast.reason;
    const Bytes slow = reencoded(source, c.quality);

    const VImage original = decode(source);
    const double fastPsnr = psnr(decode(fast.bytes), original), slowPsnr = psnr(decode(slow), original);
    EXPECT_GT(fastPsnr, slowPsnr - 0.2) << "re-encode " << slowPsnr << " dB";

    const Header fastHeader = headerOf(fast.bytes), slowHeader = headerOf(slow);
    EXPECT_EQ(fastHeader.tables, slowHeader.tables);
    EXPECT_EQ(fastHeader.sampling, slowHeader.sampling);

    const auto segments = metadataSegments(fast.bytes.data(), fast.bytes.size());
    ASSERT_EQ(segments.size(), target.markers.size());
    for (std::size_t i = 0; i < segments.size(); ++i) {
        EXPECT_EQ(segments[i].code, target.markers[i].code);
        EXPECT_EQ(segments[i].payload, target.markers[i].payload);
    }
}

INSTANTIATE_TEST_SUITE_P(Qualities, Results, ::testing::ValuesIn(kResultCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Broken files fail with libjpeg's reason and write nothing.
struct BrokenCase {
    const char* name;
    std::function<Bytes(Bytes)> damage;
    const char* reasonPart;
};

const BrokenCase kBrokenCases[] = {
    {"cut_in_half",
     [](Bytes b) {
         b.resize(b.size() / 2);
         return b;
     },
     "Premature end"},
    {"cut_with_end_marker",
     [](Bytes b) {
         b.resize(b.size() / 2);
         b.insert(b.end(), {0xFF, 0xD9});
         return b;
     },
     "Corrupt JPEG data"},
    {"garbage_inside",
     [](Bytes b) {
         for (std::size_t i = b.size() / 2; i < b.size() / 2 + 300; ++i)
             b[i] = std::uint8_t(i * 7919 >> 3);
         return b;
     },
     "Corrupt JPEG data"},
    {"header_only",
     [](Bytes b) {
         b.resize(300);
         return b;
     },
     ""},
    {"not_a_jpeg",
     [](Bytes) {
         return Bytes{'B', 'M', 1, 2, 3};
     },
     "Not a JPEG file"},
};

class Broken : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(Broken, FailsWithTheDecodersReason)
{
    const Bytes source = GetParam().damage(jpeg(scene(320, 240), 92));
    const Transcoded result = transcode(source.data(), source.size(), Target{});
    EXPECT_EQ(int(result.outcome), int(Outcome::Failed)) << result.reason;
    EXPECT_FALSE(result.reason.empty());
    EXPECT_NE(result.reason.find(GetParam().reasonPart), std::string::npos) << result.reason;
    EXPECT_TRUE(result.bytes.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, Broken, ::testing::ValuesIn(kBrokenCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quarbel::codecs::jpeg
