// The WebP writer through its pixel views: files read back by libvips and taken apart by
// libwebp's own mux; rows handed over in uneven strips give the very file that libwebp makes
// from the whole picture at once.

#include "codecs/webp/Settings.h"
#include "codecs/webp/WebpWriter.h"

#include <webp/encode.h>
#include <webp/mux.h>
#include <vips/vips8>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace quarbel::codecs::webp {
namespace {

struct Picture {
    Bytes storage;
    PixelView view;
};

// Smooth colours in rows padded by 3 bytes; with alpha, the top half fades in and the bottom
// half is opaque (libwebp leaves the strips there without an alpha plane).
Picture picture(int width, int height, int bands, int shift = 0)
{
    Picture p;
    const std::size_t stride = std::size_t(width) * std::size_t(bands) + 3;
    p.storage.assign(stride * std::size_t(height), 0xEE);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* px = p.storage.data() + stride * std::size_t(y) + std::size_t(x * bands);
            const std::uint8_t colour[3] = {std::uint8_t(shift + x * (255 - shift) / width),
                                            std::uint8_t(y * 255 / height), std::uint8_t(128 + shift)};
            const int colours = bands >= 3 ? 3 : 1;
            std::memcpy(px, colour, std::size_t(colours));
            if (bands == 2 || bands == 4)
                px[colours] = y < height / 2 ? std::uint8_t(y * 255 / (height / 2)) : 255;
        }
    p.view = {p.storage.data(), width, height, bands, stride};
    return p;
}

vips::VImage decoded(const Bytes& file)
{
    return vips::VImage::new_from_buffer(file.data(), file.size(), "", vips::VImage::option()->set("n", -1))
        .copy_memory();
}

// Mean difference of the colour samples, and the largest of the alpha samples.
void expectNear(const vips::VImage& back, const PixelView& source, double colour, const std::string& what)
{
    ASSERT_EQ(back.width(), source.width) << what;
    ASSERT_EQ(back.height(), source.height) << what;
    ASSERT_EQ(back.has_alpha(), source.hasAlpha()) << what;
    const auto* out = static_cast<const std::uint8_t*>(back.data());
    const int outBands = back.bands();
    double sum = 0;
    int compared = 0, worstAlpha = 0;
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            const std::uint8_t* in = source.row(y) + x * source.bands;
            const std::uint8_t* got =
                out + (std::size_t(y) * std::size_t(source.width) + std::size_t(x)) * std::size_t(outBands);
            if (source.hasAlpha())
                worstAlpha =
                    std::max(worstAlpha, std::abs(int(got[outBands - 1]) - int(in[source.bands - 1])));
            if (source.hasAlpha() && in[source.bands - 1] < 128)
                continue;  // colours that barely show may be coded coarsely
            for (int c = 0; c < 3; ++c, ++compared)
                sum += std::abs(int(got[c]) - int(in[source.bands >= 3 ? c : 0]));
        }
    EXPECT_LT(sum / compared, colour) << what;
    EXPECT_EQ(worstAlpha, 0) << what << ": alpha is stored losslessly";
}

// libwebp's own way: the whole picture imported at once.
Bytes wholeAtOnce(const PixelView& rgb, int quality)
{
    WebPPicture p;
    WebPPictureInit(&p);
    p.width = rgb.width;
    p.height = rgb.height;
    EXPECT_TRUE(rgb.bands == 4 ? WebPPictureImportRGBA(&p, rgb.data, int(rgb.stride))
                               : WebPPictureImportRGB(&p, rgb.data, int(rgb.stride)));
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    p.writer = WebPMemoryWrite;
    p.custom_ptr = &writer;
    const WebPConfig config = configFor(quality);
    EXPECT_TRUE(WebPEncode(&config, &p));
    Bytes out(writer.mem, writer.mem + writer.size);
    WebPMemoryWriterClear(&writer);
    WebPPictureFree(&p);
    return out;
}

class WebpWriter : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() { VIPS_INIT("codecs_webp_tests"); }
};

TEST_P(WebpWriter, StripsOfAnySizeGiveLibwebpsOwnFileAndComeBackNearTheirPixels)
{
    const int bands = GetParam();
    const Picture p = picture(75, 101, bands);  // odd sizes: half-width chroma, a last odd row
    StillWriter writer(75, 101, bands, Options{});
    for (int top = 0, count = 1; top < 101; top += count, count += 2)  // 1, 3, 5 ... rows
        writer.add(p.view.rows(top, std::min(count, 101 - top)));
    const Bytes file = writer.finish();

    expectNear(decoded(file), p.view, 3.0, "bands " + std::to_string(bands));
    if (bands >= 3) {
        EXPECT_EQ(file, wholeAtOnce(p.view, Options{}.quality)) << "bands " << bands;
    }
}

INSTANTIATE_TEST_SUITE_P(Bands, WebpWriter, ::testing::Values(1, 2, 3, 4));

TEST_F(WebpWriter, AnimationKeepsFramesDelaysAndLoop)
{
    for (int bands : {2, 4}) {
        Bytes stacked;
        for (int f = 0; f < 3; ++f) {
            const Picture frame = picture(40, 30, bands, f * 60);
            for (int y = 0; y < 30; ++y)
                stacked.insert(stacked.end(), frame.view.row(y), frame.view.row(y) + frame.view.rowBytes());
        }
        Animation animation{tightView(stacked.data(), 40, 90, bands), 30, {40, 80, 120}, 3};
        const vips::VImage back = decoded(encode(animation, Options{}));
        ASSERT_EQ(back.get_int("page-height"), 30) << bands;
        EXPECT_EQ(back.get_array_int("delay"), (std::vector<int>{40, 80, 120})) << bands;
        EXPECT_EQ(back.get_int("loop"), 3) << bands;
        expectNear(back, animation.frames, 3.0, "animation of bands " + std::to_string(bands));
    }
}

Bytes chunk(const Bytes& file, const char* fourcc)
{
    const WebPData data{file.data(), file.size()};
    WebPMux* mux = WebPMuxCreate(&data, 0);
    EXPECT_NE(mux, nullptr);
    WebPData found{nullptr, 0};
    Bytes out;
    if (mux && WebPMuxGetChunk(mux, fourcc, &found) == WEBP_MUX_OK)
        out.assign(found.bytes, found.bytes + found.size);
    WebPMuxDelete(mux);
    return out;
}

TEST_F(WebpWriter, MetadataGoesIntoItsChunksAndNothingElseWithout)
{
    const Picture p = picture(20, 10, 3);
    Options options;
    options.profile = Bytes(600, 0x42);
    options.metadata.xmp = {'<', 'x', ':', 'x', 'm', 'p', 'm', 'e', 't', 'a', '/', '>'};
    exif::Block block;
    block.ifd0.push_back({0x010F, 2, 5, {'Q', 'c', 'a', 'm', 0}});  // Make
    block.ifd0.push_back({exif::kOrientation, 3, 1, {1, 0}});
    options.metadata.exif = block;
    options.metadata.iptc = {0x1C, 0x02, 0x19, 0x00, 0x01, 'x'};

    Bytes file = encode(p.view, options);
    EXPECT_EQ(chunk(file, "ICCP"), options.profile);
    EXPECT_EQ(chunk(file, "XMP "), options.metadata.xmp);
    const Bytes exifChunk = chunk(file, "EXIF");
    EXPECT_EQ(exifChunk, exif::encode(block));
    ASSERT_GE(exifChunk.size(), 4u);
    EXPECT_EQ(std::memcmp(exifChunk.data(), "II*\0", 4), 0) << "the TIFF header opens the EXIF chunk";
    const vips::VImage back = decoded(file);
    EXPECT_EQ(back.get_int("orientation"), 1);
    EXPECT_EQ(std::string(back.get_string("exif-ifd0-Make")).substr(0, 4), "Qcam");

    file = encode(p.view, Options{});
    for (const char* fourcc : {"ICCP", "XMP ", "EXIF"})
        EXPECT_TRUE(chunk(file, fourcc).empty()) << fourcc;
    EXPECT_EQ(std::memcmp(file.data() + 12, "VP8 ", 4), 0) << "a plain file without the extended header";
}

TEST_F(WebpWriter, CancelStopsTheEncoderAndGivesNoFile)
{
    const Picture p = picture(64, 64, 4);
    CancelToken token;
    Options options;
    options.cancel = &token;
    StillWriter writer(64, 64, 4, options);
    writer.add(p.view.rows(0, 32));
    token.cancel();
    EXPECT_THROW(writer.add(p.view.rows(32, 32)), Cancelled);

    CancelToken later;
    options.cancel = &later;
    StillWriter whole(64, 64, 4, options);
    whole.add(p.view);
    later.cancel();  // the rows are in: only libwebp's progress report can stop it now
    EXPECT_THROW(whole.finish(), Cancelled);

    Bytes stacked(std::size_t(64) * 64 * 4 * 2);
    EXPECT_THROW(encode(Animation{tightView(stacked.data(), 64, 128, 4), 64, {50, 50}, 0}, options),
                 Cancelled);
}

TEST_F(WebpWriter, RefusalsAreFailuresWithAReason)
{
    struct Case {
        int width, quality;
        const char* reason;
    };
    for (const Case& c : {Case{16384, 75, "16383"}, Case{16, 101, "settings"}}) {
        const Picture p = picture(c.width, 2, 3);
        Options options;
        options.quality = c.quality;
        try {
            encode(p.view, options);
            ADD_FAILURE() << c.width << " x 2 at " << c.quality << " was written";
        } catch (const Cancelled&) {
            ADD_FAILURE() << "taken for a cancel";
        } catch (const Failure& failure) {
            EXPECT_NE(std::string(failure.what()).find(c.reason), std::string::npos) << failure.what();
        }
    }
}

}  // namespace
}  // namespace quarbel::codecs::webp
