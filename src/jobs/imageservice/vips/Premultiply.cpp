#include "jobs/imageservice/vips/Premultiply.h"

#include "jobs/imageservice/vips/Vips.h"

#include <algorithm>
#include <cstdint>

namespace quarbel::imageservice::pixels {

namespace {

using vips::VImage;
using RowFunction = void (*)(const std::uint8_t* in, std::uint8_t* out, int width, int bands);

// round(v / 255) for v in 0 .. 255 * 255, without a division.
inline std::uint8_t divideBy255(unsigned v)
{
    v += 128;
    return std::uint8_t((v + (v >> 8)) >> 8);
}

void premultiplyRow(const std::uint8_t* in, std::uint8_t* out, int width, int bands)
{
    const int colours = bands - 1;
    for (int x = 0; x < width; ++x, in += bands, out += bands) {
        const unsigned alpha = in[colours];
        for (int b = 0; b < colours; ++b)
            out[b] = divideBy255(in[b] * alpha);
        out[colours] = std::uint8_t(alpha);
    }
}

void unpremultiplyRow(const std::uint8_t* in, std::uint8_t* out, int width, int bands)
{
    const int colours = bands - 1;
    for (int x = 0; x < width; ++x, in += bands, out += bands) {
        const unsigned alpha = in[colours];
        for (int b = 0; b < colours; ++b)
            out[b] = alpha == 0 ? 0 : std::uint8_t(std::min(255u, (in[b] * 255u + alpha / 2) / alpha));
        out[colours] = std::uint8_t(alpha);
    }
}

int generate(VipsRegion* out, void* sequence, void* /*input*/, void* function, gboolean* /*stop*/)
{
    auto* in = static_cast<VipsRegion*>(sequence);
    const VipsRect area = out->valid;
    if (vips_region_prepare(in, &area))
        return -1;
    const auto row = reinterpret_cast<RowFunction>(function);
    const int bands = out->im->Bands;
    for (int y = area.top; y < area.top + area.height; ++y)
        row(reinterpret_cast<const std::uint8_t*>(VIPS_REGION_ADDR(in, area.left, y)),
            reinterpret_cast<std::uint8_t*>(VIPS_REGION_ADDR(out, area.left, y)), area.width, bands);
    return 0;
}

// A picture computed from `image` one row at a time by `row`; same size, bands and format.
VImage mapRows(const VImage& image, RowFunction row)
{
    if (image.format() != VIPS_FORMAT_UCHAR || image.bands() < 2)
        throw vips::VError("premultiply: an 8-bit picture with alpha is needed");
    return vips_util::generatedFrom(image, generate, reinterpret_cast<void*>(row));
}

}  // namespace

VImage premultiplied(const VImage& image) { return mapRows(image, premultiplyRow); }

VImage unpremultiplied(const VImage& image) { return mapRows(image, unpremultiplyRow); }

}  // namespace quarbel::imageservice::pixels
