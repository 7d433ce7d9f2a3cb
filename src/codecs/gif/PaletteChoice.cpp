#include "codecs/gif/PaletteChoice.h"

#include "codecs/Failure.h"
#include "codecs/gif/Bands.h"

#include <libimagequant.h>
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace quarbel::codecs::quantize {

namespace {

// libimagequant sees about this many pixels: on photographs the palette it chooses from a
// sample this size is as good as from every pixel, at a fraction of the time.
constexpr std::size_t kSamplePixels = 1u << 17;
// libimagequant's speed (1 best .. 10 fastest): libvips' GIF writer uses 4 as well.
constexpr int kSpeed = 4;

struct LiqAttrDeleter {
    void operator()(liq_attr* a) const { liq_attr_destroy(a); }
};
struct LiqImageDeleter {
    void operator()(liq_image* i) const { liq_image_destroy(i); }
};
struct LiqResultDeleter {
    void operator()(liq_result* r) const { liq_result_destroy(r); }
};

[[noreturn]] void outOfMemory() { throw Failure("not enough memory to choose the GIF palette"); }

// A sample of the picture for libimagequant, RGBA: every step-th pixel of every step-th row,
// so that it keeps the picture's structure (libimagequant weighs noisy areas less).
// Transparent pixels become (0, 0, 0, 0).
struct Sample {
    std::vector<std::uint8_t> rgba;
    int width = 0, height = 0;
    std::size_t opaque = 0;
};

template <int Bands>
void put(const std::uint8_t* p, std::uint8_t* o)
{
    if (transparentAt<Bands>(p)) {
        std::memset(o, 0, 4);
        return;
    }
    if constexpr (Bands <= 2) {
        o[0] = o[1] = o[2] = p[0];
    } else {
        o[0] = p[0];
        o[1] = p[1];
        o[2] = p[2];
    }
    o[3] = 255;
}

template <int Bands>
Sample gridSample(const PixelView& rect, int step)
{
    Sample s;
    s.width = (rect.width + step - 1) / step;
    s.height = (rect.height + step - 1) / step;
    s.rgba.resize(std::size_t(s.width) * std::size_t(s.height) * 4);
    std::uint8_t* o = s.rgba.data();
    for (int y = 0; y < rect.height; y += step) {
        const std::uint8_t* row = rect.data + std::size_t(y) * std::size_t(rect.width) * Bands;
        for (int x = 0; x < rect.width; x += step, o += 4) {
            put<Bands>(row + std::size_t(x) * Bands, o);
            s.opaque += o[3] != 0;
        }
    }
    return s;
}

// Every k-th opaque pixel, in one row: for pictures whose few opaque pixels the grid misses.
template <int Bands>
Sample opaqueSample(const PixelView& rect, std::size_t limit)
{
    std::size_t opaque = 0;
    const std::size_t n = rect.pixels();
    for (std::size_t i = 0; i < n; ++i)
        opaque += !transparentAt<Bands>(rect.data + i * Bands);
    const std::size_t step = std::max<std::size_t>(1, (opaque + limit - 1) / limit);
    Sample s;
    s.rgba.reserve((opaque / step + 1) * 4);
    std::size_t seen = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* p = rect.data + i * Bands;
        if (transparentAt<Bands>(p) || seen++ % step != 0)
            continue;
        s.rgba.resize(s.rgba.size() + 4);
        put<Bands>(p, s.rgba.data() + s.rgba.size() - 4);
    }
    s.width = int(s.rgba.size() / 4);
    s.height = 1;
    s.opaque = std::size_t(s.width);
    return s;
}

template <int Bands>
Sample sampleOf(const PixelView& rect)
{
    const double ratio = double(rect.pixels()) / double(kSamplePixels);
    const int step = std::max(1, int(std::ceil(std::sqrt(ratio))));
    Sample s = gridSample<Bands>(rect, step);
    constexpr std::size_t kFewest = 4096;
    if (step > 1 && s.opaque < kFewest)
        s = opaqueSample<Bands>(rect, kSamplePixels);
    return s;
}

// libimagequant spreads its work over OpenMP threads. Here they would only compete with the
// other pictures being converted at the same time (and spin while they wait for work), so
// it runs on the calling thread alone.
class OneOpenMpThread {
public:
    OneOpenMpThread() : m_before(omp_get_max_threads()) { omp_set_num_threads(1); }
    ~OneOpenMpThread() { omp_set_num_threads(m_before); }
    OneOpenMpThread(const OneOpenMpThread&) = delete;
    OneOpenMpThread& operator=(const OneOpenMpThread&) = delete;

private:
    int m_before;
};

// Up to maxColours opaque colours for the picture, chosen by libimagequant.
}  // namespace

std::vector<Rgb> choosePalette(const PixelView& rect, int maxColours)
{
    OneOpenMpThread oneThread;
    Sample sample = withBands(rect.bands, [&](auto b) { return sampleOf<decltype(b)::value>(rect); });
    if (sample.opaque == 0)
        return {};
    const bool someTransparent = sample.opaque < std::size_t(sample.width) * std::size_t(sample.height);
    std::unique_ptr<liq_attr, LiqAttrDeleter> attr(liq_attr_create());
    if (!attr)
        outOfMemory();
    // A transparent sample pixel takes a palette entry of its own, dropped below.
    liq_set_max_colors(attr.get(), std::min(256, maxColours + (someTransparent ? 1 : 0)));
    liq_set_speed(attr.get(), kSpeed);
    std::unique_ptr<liq_image, LiqImageDeleter> image(
        liq_image_create_rgba(attr.get(), sample.rgba.data(), sample.width, sample.height, 0));
    if (!image)
        outOfMemory();
    liq_result* raw = nullptr;
    const liq_error error = liq_image_quantize(image.get(), attr.get(), &raw);
    std::unique_ptr<liq_result, LiqResultDeleter> result(raw);
    if (error == LIQ_OUT_OF_MEMORY)
        outOfMemory();
    if (error != LIQ_OK || !result)
        throw Failure("the GIF palette could not be chosen");
    const liq_palette* chosen = liq_get_palette(result.get());
    std::vector<Rgb> colours;
    for (unsigned i = 0; i < chosen->count && int(colours.size()) < maxColours; ++i) {
        const liq_color c = chosen->entries[i];
        if (c.a >= kOpaqueFrom)
            colours.push_back({c.r, c.g, c.b});
    }
    return colours;
}

}  // namespace quarbel::codecs::quantize
