#include "jobs/imageservice/Quantize.h"

#include "jobs/imageservice/Vips.h"

#include <libimagequant.h>
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quarbel::imageservice::quantize {

namespace {

// libimagequant sees about this many pixels: on photographs the palette it chooses from a
// sample this size is as good as from every pixel, at a fraction of the time.
constexpr std::size_t kSamplePixels = 1u << 17;
// libimagequant's speed (1 best .. 10 fastest): libvips' GIF writer uses 4 as well.
constexpr int kSpeed = 4;

// ---- Pixels of a given number of bands -------------------------------------------------

template <int Bands>
inline std::uint32_t keyAt(const std::uint8_t* p)
{
    if constexpr (Bands <= 2)
        return std::uint32_t(p[0]) * 0x010101u;
    else
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
}

template <int Bands>
inline bool transparentAt(const std::uint8_t* p)
{
    if constexpr (Bands == 2 || Bands == 4)
        return p[Bands - 1] < kOpaqueFrom;
    else
        return false;
}

template <typename F>
decltype(auto) withBands(int bands, F&& f)
{
    switch (bands) {
    case 1: return f(std::integral_constant<int, 1>{});
    case 2: return f(std::integral_constant<int, 2>{});
    case 3: return f(std::integral_constant<int, 3>{});
    default: return f(std::integral_constant<int, 4>{});
    }
}

Rgb rgbOf(std::uint32_t key) { return {std::uint8_t(key), std::uint8_t(key >> 8), std::uint8_t(key >> 16)}; }

// ---- Exact colours -----------------------------------------------------------------------

// Colours met so far and their palette positions, up to a limit. Open addressing, at most a
// quarter full.
class ColourIndex {
public:
    explicit ColourIndex(int limit) : limit_(limit) { keys_.fill(kEmpty); }

    // The position of the colour, added when new; -1 when it would be one too many.
    int indexOf(std::uint32_t key)
    {
        unsigned slot = (key * 0x9E3779B1u) >> (32 - kBits);
        for (;;) {
            if (keys_[slot] == key)
                return index_[slot];
            if (keys_[slot] == kEmpty) {
                if (int(colours_.size()) == limit_)
                    return -1;
                keys_[slot] = key;
                index_[slot] = std::uint8_t(colours_.size());
                colours_.push_back(key);
                return index_[slot];
            }
            slot = (slot + 1) & kMask;
        }
    }

    const std::vector<std::uint32_t>& colours() const { return colours_; }

private:
    static constexpr int kBits = 10;
    static constexpr unsigned kMask = (1u << kBits) - 1;
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;  // keys have 24 bits
    std::array<std::uint32_t, 1u << kBits> keys_;
    std::array<std::uint8_t, 1u << kBits> index_{};
    std::vector<std::uint32_t> colours_;
    int limit_;
};

// Writes the indices of rect while collecting its colours; false as soon as there are too
// many (photographs stop after a few hundred pixels).
template <int Bands>
bool mapExactly(const PixelRect& rect, ColourIndex& colours, int first, std::uint8_t* out)
{
    const std::uint8_t* p = rect.data;
    const std::size_t n = rect.pixels();
    std::uint32_t lastKey = 0xFFFFFFFFu;  // no colour has this key
    std::uint8_t lastIndex = 0;
    for (std::size_t i = 0; i < n; ++i, p += Bands) {
        if (transparentAt<Bands>(p)) {
            out[i] = 0;
            continue;
        }
        const std::uint32_t key = keyAt<Bands>(p);
        if (key != lastKey) {
            const int index = colours.indexOf(key);
            if (index < 0)
                return false;
            lastKey = key;
            lastIndex = std::uint8_t(index + first);
        }
        out[i] = lastIndex;
    }
    return true;
}

Palette paletteOf(const ColourIndex& colours, bool transparent)
{
    Palette palette;
    palette.transparent = transparent;
    for (std::uint32_t key : colours.colours())
        palette.colours.push_back(rgbOf(key));
    return palette;
}

// ---- Choosing a palette ------------------------------------------------------------------

struct LiqAttrDeleter {
    void operator()(liq_attr* a) const { liq_attr_destroy(a); }
};
struct LiqImageDeleter {
    void operator()(liq_image* i) const { liq_image_destroy(i); }
};
struct LiqResultDeleter {
    void operator()(liq_result* r) const { liq_result_destroy(r); }
};

[[noreturn]] void outOfMemory()
{
    throw vips_util::Failure("not enough memory to choose the GIF palette");
}

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
Sample gridSample(const PixelRect& rect, int step)
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
Sample opaqueSample(const PixelRect& rect, std::size_t limit)
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
Sample sampleOf(const PixelRect& rect)
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
    OneOpenMpThread() : before_(omp_get_max_threads()) { omp_set_num_threads(1); }
    ~OneOpenMpThread() { omp_set_num_threads(before_); }
    OneOpenMpThread(const OneOpenMpThread&) = delete;
    OneOpenMpThread& operator=(const OneOpenMpThread&) = delete;

private:
    int before_;
};

// Up to maxColours opaque colours for the picture, chosen by libimagequant.
std::vector<Rgb> choosePalette(const PixelRect& rect, int maxColours)
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
        throw vips_util::Failure("the GIF palette could not be chosen");
    const liq_palette* chosen = liq_get_palette(result.get());
    std::vector<Rgb> colours;
    for (unsigned i = 0; i < chosen->count && int(colours.size()) < maxColours; ++i) {
        const liq_color c = chosen->entries[i];
        if (c.a >= kOpaqueFrom)
            colours.push_back({c.r, c.g, c.b});
    }
    return colours;
}

// ---- Remapping with error diffusion ------------------------------------------------------

// The palette entry nearest to a colour. Colours that agree in the top kCellBits bits of
// each channel share a cell; the first time a cell is met, the four entries nearest to its
// centre are found and remembered, and each colour of the cell then takes the nearest of
// those four. A photograph meets a few ten thousand cells. (Taking the entry nearest to the
// centre alone is half again as fast, but the larger errors make the dither visibly
// noisier in smooth gradients.)
class Nearest {
public:
    static constexpr int kCellBits = 6;
    // A cell's candidates are four indices, one per byte: four distinct ones can never all
    // be 255, and with fewer than four colours every index is below 4.
    static constexpr std::uint32_t kUnknown = 0xFFFFFFFFu;

    explicit Nearest(const Palette& palette)
    {
        // Unused slots hold a colour far outside the cube, so that the search always runs over
        // all 256 (which the compiler vectorises).
        r_.fill(kFarAway);
        g_.fill(kFarAway);
        b_.fill(kFarAway);
        colours_.fill(0);
        const std::size_t first = std::size_t(palette.first());
        for (std::size_t i = 0; i < palette.colours.size(); ++i) {
            const Rgb& c = palette.colours[i];
            r_[first + i] = c[0];
            g_[first + i] = c[1];
            b_[first + i] = c[2];
            colours_[first + i] = std::uint32_t(c[0]) | std::uint32_t(c[1]) << 8 | std::uint32_t(c[2]) << 16 |
                                  std::uint32_t(first + i) << 24;
        }
        cells_.assign(std::size_t(1) << (3 * kCellBits), kUnknown);
    }

    static std::size_t cellOf(int r, int g, int b)
    {
        constexpr int shift = 8 - kCellBits;
        return std::size_t(r >> shift) << (2 * kCellBits) | std::size_t(g >> shift) << kCellBits |
               std::size_t(b >> shift);
    }

    // Each cell's candidates, kUnknown until fill() found them.
    std::uint32_t* cells() { return cells_.data(); }
    // Each palette entry as r | g << 8 | b << 16 | index << 24.
    const std::uint32_t* colours() const { return colours_.data(); }

    // The entry (as in colours()) nearest to r, g, b of a cell's four candidates.
    static std::uint32_t nearestOf(std::uint32_t candidates, const std::uint32_t* colours, int r, int g, int b)
    {
        const std::uint32_t c0 = colours[candidates & 0xFF], c1 = colours[(candidates >> 8) & 0xFF],
                            c2 = colours[(candidates >> 16) & 0xFF], c3 = colours[candidates >> 24];
#if defined(__SSE2__)
        // The four distances at once: channels widened to 16 bits, squared and summed in pairs.
        const __m128i all = _mm_set_epi32(int(c3), int(c2), int(c1), int(c0));
        const __m128i zero = _mm_setzero_si128(), rgb = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
        const __m128i pixel = _mm_set_epi16(0, short(b), short(g), short(r), 0, short(b), short(g), short(r));
        const __m128i lo = _mm_sub_epi16(_mm_and_si128(_mm_unpacklo_epi8(all, zero), rgb), pixel);
        const __m128i hi = _mm_sub_epi16(_mm_and_si128(_mm_unpackhi_epi8(all, zero), rgb), pixel);
        const __m128 sumLo = _mm_castsi128_ps(_mm_madd_epi16(lo, lo));
        const __m128 sumHi = _mm_castsi128_ps(_mm_madd_epi16(hi, hi));
        const __m128i distance =
            _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(sumLo, sumHi, _MM_SHUFFLE(2, 0, 2, 0))),
                          _mm_castps_si128(_mm_shuffle_ps(sumLo, sumHi, _MM_SHUFFLE(3, 1, 3, 1))));
        // The smallest, with the candidate's number in the low bits (on a tie the first).
        __m128i key = _mm_or_si128(_mm_slli_epi32(distance, 2), _mm_set_epi32(3, 2, 1, 0));
        __m128i other = _mm_shuffle_epi32(key, _MM_SHUFFLE(1, 0, 3, 2));
        __m128i less = _mm_cmplt_epi32(other, key);
        key = _mm_or_si128(_mm_and_si128(less, other), _mm_andnot_si128(less, key));
        other = _mm_shuffle_epi32(key, _MM_SHUFFLE(2, 3, 0, 1));
        less = _mm_cmplt_epi32(other, key);
        key = _mm_or_si128(_mm_and_si128(less, other), _mm_andnot_si128(less, key));
        const int k = _mm_cvtsi128_si32(key) & 3;
        return k == 0 ? c0 : k == 1 ? c1 : k == 2 ? c2 : c3;
#else
        std::uint32_t best = c0;
        int bestDistance = 1 << 30;
        for (const std::uint32_t c : {c0, c1, c2, c3}) {
            const int dr = int(c & 0xFF) - r, dg = int((c >> 8) & 0xFF) - g, db = int((c >> 16) & 0xFF) - b;
            const int d = dr * dr + dg * dg + db * db;
            best = d < bestDistance ? c : best;
            bestDistance = std::min(d, bestDistance);
        }
        return best;
#endif
    }

    // Finds and remembers a cell's candidates.
    [[gnu::noinline]] std::uint32_t fill(std::size_t cell)
    {
        constexpr int side = 1 << (8 - kCellBits), mask = (1 << kCellBits) - 1;
        constexpr float half = float(side - 1) / 2;
        const float r = float(int(cell >> (2 * kCellBits)) * side) + half;
        const float g = float(int((cell >> kCellBits) & mask) * side) + half;
        const float b = float(int(cell & mask) * side) + half;
        std::array<float, 256> distance;
        for (std::size_t i = 0; i < 256; ++i) {
            const float dr = r_[i] - r, dg = g_[i] - g, db = b_[i] - b;
            distance[i] = dr * dr + dg * dg + db * db;
        }
        // The four entries nearest the centre, nearest first.
        std::array<std::size_t, 4> best{};
        std::array<float, 4> bestDistance;
        bestDistance.fill(kUnreached);
        for (std::size_t i = 0; i < 256; ++i) {
            const float d = distance[i];
            if (d >= bestDistance[3])
                continue;
            std::size_t at = 3;
            for (; at > 0 && d < bestDistance[at - 1]; --at) {
                best[at] = best[at - 1];
                bestDistance[at] = bestDistance[at - 1];
            }
            best[at] = i;
            bestDistance[at] = d;
        }
        std::uint32_t candidates = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            // With fewer than four colours the rest are unused slots: repeat the nearest.
            const std::size_t i = bestDistance[k] <= kInsideCube ? best[k] : best[0];
            candidates |= std::uint32_t(i) << (8 * k);
        }
        cells_[cell] = candidates;
        return candidates;
    }

private:
    static constexpr float kFarAway = 1024;
    static constexpr float kInsideCube = 3.0f * 256 * 256;  // farther ones are unused slots
    static constexpr float kUnreached = 1e9f;
    std::array<float, 256> r_, g_, b_;
    std::array<std::uint32_t, 256> colours_;
    std::vector<std::uint32_t> cells_;
};

// Floyd-Steinberg error diffusion, serpentine. Errors are kept in sixteenths and passed on
// damped a little (else the small errors of the nearest-colour choice add up into streaks);
// errors below one level are not passed on at all, so that flat areas stay flat and
// compress better; and an error is bounded per channel so that it cannot grow across a
// whole area of colours the palette lacks. Transparent pixels neither take nor pass on error.
constexpr int kDamping = 15;   // sixteenths of the error passed on
constexpr int kThreshold = 16; // in sixteenths of a level
constexpr int kMaxError = 48;  // levels per channel

// The error state along one row: the error carried to the next pixel, and the shares of the
// row below that earlier pixels have made so far, at x (near) and at x + dir (far).
struct Carry {
    int aheadR = 0, aheadG = 0, aheadB = 0, nearR = 0, nearG = 0, nearB = 0, farR = 0, farG = 0, farB = 0;
};

template <int Bands>
void diffuse(const PixelRect& rect, const Palette& palette, std::uint8_t* out)
{
    Nearest nearest(palette);
    // Local copies: the index bytes written could otherwise alias them and force reloads.
    std::uint32_t* const cells = nearest.cells();
    const std::uint32_t* const colours = nearest.colours();
    const int width = rect.width;

    // One pixel at x: row, outRow, above and below are its row, its indices, the errors it
    // receives from the row above and those it passes to the row below (both with a spare
    // pixel at either end).
    auto step = [=, &nearest](Carry& c, const std::uint8_t* row, std::uint8_t* outRow, const std::int16_t* above,
                              std::int16_t* below, int x, int dir) __attribute__((always_inline)) {
        const std::uint8_t* p = row + std::size_t(x) * Bands;
        int errR = 0, errG = 0, errB = 0;
        if (transparentAt<Bands>(p)) {
            outRow[x] = 0;
        } else {
            int r, g, b;
            if constexpr (Bands <= 2)
                r = g = b = p[0];
            else
                r = p[0], g = p[1], b = p[2];
            const std::int16_t* a = above + 3 * (x + 1);
            const int eR = a[0] + c.aheadR, eG = a[1] + c.aheadG, eB = a[2] + c.aheadB;
            // (no branch: whether an error is passed on is as good as random)
            const int share = (std::abs(eR) | std::abs(eG) | std::abs(eB)) >= kThreshold ? kDamping : 0;
            r = std::clamp(r + ((eR * share + 128) >> 8), 0, 255);
            g = std::clamp(g + ((eG * share + 128) >> 8), 0, 255);
            b = std::clamp(b + ((eB * share + 128) >> 8), 0, 255);
            const std::size_t cell = Nearest::cellOf(r, g, b);
            std::uint32_t candidates = cells[cell];
            if (candidates == Nearest::kUnknown) [[unlikely]]
                candidates = nearest.fill(cell);
            const std::uint32_t chosen = Nearest::nearestOf(candidates, colours, r, g, b);
            outRow[x] = std::uint8_t(chosen >> 24);
            errR = std::clamp(r - int(chosen & 0xFF), -kMaxError, kMaxError);
            errG = std::clamp(g - int((chosen >> 8) & 0xFF), -kMaxError, kMaxError);
            errB = std::clamp(b - int((chosen >> 16) & 0xFF), -kMaxError, kMaxError);
        }
        // x - dir is complete now: it had 1/16 from x - 2 dir, 5/16 from x - dir, 3/16 from x.
        std::int16_t* d = below + 3 * (x - dir + 1);
        d[0] = std::int16_t(c.nearR + errR * 3);
        d[1] = std::int16_t(c.nearG + errG * 3);
        d[2] = std::int16_t(c.nearB + errB * 3);
        c.nearR = c.farR + errR * 5, c.nearG = c.farG + errG * 5, c.nearB = c.farB + errB * 5;
        c.farR = errR, c.farG = errG, c.farB = errB;
        c.aheadR = errR * 7, c.aheadG = errG * 7, c.aheadB = errB * 7;
    };
    auto finish = [](const Carry& c, std::int16_t* below, int last) {
        std::int16_t* d = below + 3 * (last + 1);
        d[0] = std::int16_t(c.nearR);
        d[1] = std::int16_t(c.nearG);
        d[2] = std::int16_t(c.nearB);
    };

    // The picture is diffused as kLanes bands side by side, each starting without error from
    // above like the picture's first row: every pixel waits for the error of the one before,
    // and the other band's independent pixel keeps the processor busy meanwhile.
    constexpr int kLanes = 2;
    const int bandHeight = (rect.height + kLanes - 1) / kLanes;
    const std::size_t errorRow = std::size_t(width + 2) * 3;
    std::vector<std::int16_t> errors(errorRow * 2 * kLanes, 0);
    std::array<std::int16_t*, kLanes> above, below;
    for (std::size_t l = 0; l < kLanes; ++l) {
        above[l] = errors.data() + errorRow * 2 * l;
        below[l] = above[l] + errorRow;
    }
    const std::size_t stride = std::size_t(width) * Bands;
    for (int r = 0; r < bandHeight; ++r) {
        const int dir = (r & 1) ? -1 : 1;
        const int start = dir > 0 ? 0 : width - 1, last = dir > 0 ? width - 1 : 0;
        std::array<const std::uint8_t*, kLanes> rows{};
        std::array<std::uint8_t*, kLanes> outs{};
        std::size_t active = 0;  // the last band may be one row shorter
        for (std::size_t l = 0; l < kLanes; ++l) {
            const std::size_t y = l * std::size_t(bandHeight) + std::size_t(r);
            if (y >= std::size_t(rect.height))
                break;
            rows[l] = rect.data + y * stride;
            outs[l] = out + y * std::size_t(width);
            ++active;
        }
        std::array<Carry, kLanes> carry{};
        if (active == kLanes) {
            [&]<std::size_t... L>(std::index_sequence<L...>) {
                for (int i = 0, x = start; i < width; ++i, x += dir)
                    (step(carry[L], rows[L], outs[L], above[L], below[L], x, dir), ...);
            }(std::make_index_sequence<kLanes>());
        } else {
            for (std::size_t l = 0; l < active; ++l)
                for (int i = 0, x = start; i < width; ++i, x += dir)
                    step(carry[l], rows[l], outs[l], above[l], below[l], x, dir);
        }
        for (std::size_t l = 0; l < active; ++l) {
            finish(carry[l], below[l], last);
            std::swap(above[l], below[l]);
        }
    }
}

}  // namespace

bool hasTransparentPixel(const PixelRect& rect)
{
    if (!rect.hasAlpha())
        return false;
    const std::size_t n = rect.pixels();
    const std::uint8_t* a = rect.data + rect.bands - 1;
    for (std::size_t i = 0; i < n; ++i, a += rect.bands)
        if (*a < kOpaqueFrom)
            return true;
    return false;
}

bool toIndicesExactly(std::span<const PixelRect> frames, bool transparentEntry, std::uint8_t* out, Palette& palette)
{
    const int first = transparentEntry ? 1 : 0;
    ColourIndex colours(256 - first);
    for (const PixelRect& rect : frames) {
        const bool fits =
            withBands(rect.bands, [&](auto b) { return mapExactly<decltype(b)::value>(rect, colours, first, out); });
        if (!fits)
            return false;
        out += rect.pixels();
    }
    palette = paletteOf(colours, transparentEntry);
    return true;
}

Palette toIndices(const PixelRect& rect, bool transparentEntry, std::uint8_t* out)
{
    Palette palette;
    if (toIndicesExactly(std::span(&rect, 1), transparentEntry, out, palette))
        return palette;
    palette.transparent = transparentEntry;
    palette.colours = choosePalette(rect, 256 - palette.first());
    if (palette.colours.empty())
        palette.colours.push_back({0, 0, 0});
    withBands(rect.bands, [&](auto b) { diffuse<decltype(b)::value>(rect, palette, out); });
    return palette;
}

}  // namespace quarbel::imageservice::quantize
