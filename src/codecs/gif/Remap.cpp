#include "codecs/gif/Remap.h"

#include "codecs/gif/Bands.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quarbel::codecs::quantize {

namespace {

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
        m_r.fill(kFarAway);
        m_g.fill(kFarAway);
        m_b.fill(kFarAway);
        m_colours.fill(0);
        const std::size_t first = std::size_t(palette.first());
        for (std::size_t i = 0; i < palette.colours.size(); ++i) {
            const Rgb& c = palette.colours[i];
            m_r[first + i] = c[0];
            m_g[first + i] = c[1];
            m_b[first + i] = c[2];
            m_colours[first + i] = std::uint32_t(c[0]) | std::uint32_t(c[1]) << 8 |
                                   std::uint32_t(c[2]) << 16 | std::uint32_t(first + i) << 24;
        }
        m_cells.assign(std::size_t(1) << (3 * kCellBits), kUnknown);
    }

    static std::size_t cellOf(int r, int g, int b)
    {
        constexpr int shift = 8 - kCellBits;
        return std::size_t(r >> shift) << (2 * kCellBits) | std::size_t(g >> shift) << kCellBits |
               std::size_t(b >> shift);
    }

    // Each cell's candidates, kUnknown until fill() found them.
    std::uint32_t* cells() { return m_cells.data(); }
    // Each palette entry as r | g << 8 | b << 16 | index << 24.
    const std::uint32_t* colours() const { return m_colours.data(); }

    // The entry (as in colours()) nearest to r, g, b of a cell's four candidates.
    static std::uint32_t nearestOf(std::uint32_t candidates, const std::uint32_t* colours, int r, int g,
                                   int b)
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
            const float dr = m_r[i] - r, dg = m_g[i] - g, db = m_b[i] - b;
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
        m_cells[cell] = candidates;
        return candidates;
    }

private:
    static constexpr float kFarAway = 1024;
    static constexpr float kInsideCube = 3.0f * 256 * 256;  // farther ones are unused slots
    static constexpr float kUnreached = 1e9f;
    std::array<float, 256> m_r, m_g, m_b;
    std::array<std::uint32_t, 256> m_colours;
    std::vector<std::uint32_t> m_cells;
};

// Floyd-Steinberg error diffusion, serpentine. Errors are kept in sixteenths and passed on
// damped a little (else the small errors of the nearest-colour choice add up into streaks);
// errors below one level are not passed on at all, so that flat areas stay flat and
// compress better; and an error is bounded per channel so that it cannot grow across a
// whole area of colours the palette lacks. Transparent pixels neither take nor pass on error.
constexpr int kDamping = 15;    // sixteenths of the error passed on
constexpr int kThreshold = 16;  // in sixteenths of a level
constexpr int kMaxError = 48;   // levels per channel

// The error state along one row: the error carried to the next pixel, and the shares of the
// row below that earlier pixels have made so far, at x (near) and at x + dir (far).
struct Carry {
    int aheadR = 0, aheadG = 0, aheadB = 0, nearR = 0, nearG = 0, nearB = 0, farR = 0, farG = 0, farB = 0;
};

template <int Bands>
void diffuse(const PixelView& rect, const Palette& palette, std::uint8_t* out, const CancelToken* cancel)
{
    Nearest nearest(palette);
    // Local copies: the index bytes written could otherwise alias them and force reloads.
    std::uint32_t* const cells = nearest.cells();
    const std::uint32_t* const colours = nearest.colours();
    const int width = rect.width;

    // One pixel at x: row, outRow, above and below are its row, its indices, the errors it
    // receives from the row above and those it passes to the row below (both with a spare
    // pixel at either end).
    auto step =
        [ =, &nearest ](Carry & c, const std::uint8_t* row, std::uint8_t* outRow, const std::int16_t* above,
                        std::int16_t* below, int x, int dir) __attribute__((always_inline))
    {
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
        checkCancel(cancel);
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
            [&]<std::size_t... L>(std::index_sequence<L...>)
            {
                for (int i = 0, x = start; i < width; ++i, x += dir)
                    (step(carry[L], rows[L], outs[L], above[L], below[L], x, dir), ...);
            }
            (std::make_index_sequence<kLanes>());
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

void remap(const PixelView& picture, const Palette& palette, std::uint8_t* out, const CancelToken* cancel)
{
    withBands(picture.bands, [&](auto b) { diffuse<decltype(b)::value>(picture, palette, out, cancel); });
}

}  // namespace quarbel::codecs::quantize
