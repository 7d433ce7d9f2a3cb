// A cancelled token stops an encoder part-way: the picture is read through a tripwire that
// cancels the token once the encoder has asked for rows below a line near its top, and the
// encoder then fails without asking for the rest of the picture.

#include "TestImages.h"

#include "jobs/imageservice/vips/Encode.h"
#include "jobs/imageservice/vips/Vips.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace quarbel::imageservice::testing {
namespace {

using vips::VImage;

struct Tripwire {
    codecs::CancelToken* token;
    int line;
    std::atomic<int> deepest{0};  // one past the lowest row asked for
};

int throughTripwire(VipsRegion* out, void* sequence, void* /*input*/, void* client, gboolean* /*stop*/)
{
    auto* wire = static_cast<Tripwire*>(client);
    const VipsRect area = out->valid;
    const int bottom = area.top + area.height;
    for (int seen = wire->deepest.load();
         seen < bottom && !wire->deepest.compare_exchange_weak(seen, bottom);) {
    }
    if (bottom > wire->line)
        wire->token->cancel();
    auto* in = static_cast<VipsRegion*>(sequence);
    if (vips_region_prepare(in, &area))
        return -1;
    return vips_region_region(out, in, &area, area.left, area.top);
}

struct CancelCase {
    Format format;
    const char* name;
    bool streams;  // asks for rows as it encodes them, rather than copying the picture first
};

class CancelledEncoderTest : public ::testing::TestWithParam<CancelCase> {};

TEST_P(CancelledEncoderTest, StopsPartWay)
{
    initialize();
    constexpr int kHeight = 3000;
    codecs::CancelToken token;
    Tripwire wire{&token, 200};
    const VImage picture = vips_util::generatedFrom(opaque(master(1500, kHeight)), throughTripwire, &wire);

    EXPECT_ANY_THROW(encodePicture(picture, GetParam().format, EncodeOptions{90, &token}));

    EXPECT_TRUE(token.cancelled());
    if (GetParam().streams) {
        EXPECT_LT(wire.deepest.load(), kHeight) << "the encoder went on to the end of the picture";
    }
}

TEST_P(CancelledEncoderTest, WithoutACancelReadsTheWholePicture)
{
    initialize();
    codecs::CancelToken unused;
    codecs::CancelToken token;
    Tripwire wire{&unused, 0};
    const VImage picture = vips_util::generatedFrom(opaque(master(300, 200)), throughTripwire, &wire);

    EXPECT_FALSE(encodePicture(picture, GetParam().format, EncodeOptions{90, &token}).empty());
    EXPECT_EQ(wire.deepest.load(), 200);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CancelledEncoderTest,
    ::testing::Values(CancelCase{Format::Tiff, "Tiff", true}, CancelCase{Format::Bmp, "Bmp", true},
                      CancelCase{Format::Jpeg, "Jpeg", true}, CancelCase{Format::Png, "Png", false},
                      CancelCase{Format::Gif, "Gif", false}, CancelCase{Format::Avif, "Avif", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quarbel::imageservice::testing
