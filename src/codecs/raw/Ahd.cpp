#include "codecs/raw/Ahd.h"

#include "codecs/raw/Bands.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <type_traits>

namespace quarbel::codecs::raw {

namespace {

// A tile's working memory is 26 bytes a pixel: 128 x 128 takes 416 kB, within a core's
// cache. Neighbouring tiles overlap by 6 pixels, as LibRaw's do.
constexpr int kTile = 128;
constexpr int kStep = kTile - 6;
constexpr int kTilePixels = kTile * kTile;

using Pixel = std::uint16_t[4];

int clip(int value) { return std::clamp(value, 0, 65535); }

// value limited to the range between a and b, whichever is larger.
int between(int value, int a, int b) { return a < b ? std::clamp(value, a, b) : std::clamp(value, b, a); }

// What one thread works a tile in; the two directions (0: horizontal, 1: vertical) one after
// the other in each array.
struct TileMemory {
    std::uint16_t rgb[2][kTilePixels][3];
    std::int16_t lightness[2][kTilePixels];
    std::int16_t redGreen[2][kTilePixels];
    std::int16_t yellowBlue[2][kTilePixels];
    std::uint8_t homogeneity[2][kTilePixels];
};

// Four unsigned 32-bit lanes (GCC's vector types, which it lowers to the machine's own; eight
// took longer on a machine without 32-byte vectors), and four 16-bit values as they lie in
// memory.
constexpr int kLanes = 4;
using Lanes = std::uint32_t __attribute__((vector_size(4 * kLanes)));
using SignedLanes = std::int32_t __attribute__((vector_size(4 * kLanes)));
using Shorts = std::int16_t __attribute__((vector_size(2 * kLanes)));
using Bytes = std::uint8_t __attribute__((vector_size(kLanes)));

template <typename T>
T load(const std::int16_t* values);
template <>
unsigned load<unsigned>(const std::int16_t* values)
{
    return unsigned(int(*values));
}
template <>
Lanes load<Lanes>(const std::int16_t* values)
{
    Shorts shorts;
    std::memcpy(&shorts, values, sizeof shorts);
    return (Lanes)__builtin_convertvector(shorts, SignedLanes);
}

template <typename T>
T load(const unsigned* values)
{
    T loaded;
    std::memcpy(&loaded, values, sizeof loaded);
    return loaded;
}

template <typename T>
void store(unsigned* out, T values)
{
    std::memcpy(out, &values, sizeof values);
}

template <typename T>
void storeBytes(std::uint8_t* out, T counts)
{
    if constexpr (std::is_same_v<T, unsigned>) {
        *out = std::uint8_t(counts);
    } else {
        const Bytes bytes = __builtin_convertvector(counts, Bytes);
        std::memcpy(out, &bytes, sizeof bytes);
    }
}

template <typename T>
T least(T a, T b) { return a < b ? a : b; }
template <typename T>
T most(T a, T b) { return a > b ? a : b; }

template <typename T>
T absolute(T difference)
{
    using Signed = std::conditional_t<std::is_same_v<T, unsigned>, int, SignedLanes>;
    const T sign = (T)((Signed)difference >> 31);
    return (difference ^ sign) - sign;
}

// 1 where the neighbour is as close as both limits allow, else 0 (a true comparison is 1 for
// a number, all ones in a lane).
template <typename T>
T within(T light, T colour, T lightEps, T colourEps)
{
    return (T)((light <= lightEps) & (colour <= colourEps)) & 1;
}

// One direction's L, a and b planes of a tile.
struct Planes {
    const std::int16_t* lightness;
    const std::int16_t* redGreen;
    const std::int16_t* yellowBlue;
};

// Distances between the pixels of a stretch of a row and their neighbours `step` away (1: to
// the right, kTile: below), in lightness |dL| and in colour da * da + db * db. The distance
// from a pixel to its neighbour is the neighbour's to it, so each is computed once.
struct Distances {
    unsigned light[kTile];
    unsigned colour[kTile];
};

template <typename T>
void distance(const Planes& p, int at, int step, Distances& out, int column)
{
    const T dl = load<T>(p.lightness + at) - load<T>(p.lightness + at + step);
    const T da = load<T>(p.redGreen + at) - load<T>(p.redGreen + at + step);
    const T db = load<T>(p.yellowBlue + at) - load<T>(p.yellowBlue + at + step);
    store(out.light + column, absolute(dl));
    store(out.colour + column, T(da * da + db * db));
}

void distances(const Planes& p, int rowStart, int step, int from, int to, Distances& out)
{
    int c = from;
    for (; c + kLanes <= to; c += kLanes)
        distance<Lanes>(p, rowStart + c, step, out, c);
    for (; c < to; ++c)
        distance<unsigned>(p, rowStart + c, step, out, c);
}

// How many of the four neighbours of each pixel of a row are homogeneous with it, in each
// direction: those within the closer of direction 0's distances across and direction 1's
// distances down and up.
template <typename T>
void countAt(int c, const Distances (&across)[2], const Distances (&up)[2], const Distances (&down)[2],
             std::uint8_t* first, std::uint8_t* second)
{
    const T lightEps = least(most(load<T>(across[0].light + c - 1), load<T>(across[0].light + c)),
                             most(load<T>(up[1].light + c), load<T>(down[1].light + c)));
    const T colourEps = least(most(load<T>(across[0].colour + c - 1), load<T>(across[0].colour + c)),
                              most(load<T>(up[1].colour + c), load<T>(down[1].colour + c)));
    for (int d = 0; d < 2; ++d) {
        const T count =
            within(load<T>(across[d].light + c - 1), load<T>(across[d].colour + c - 1), lightEps, colourEps) +
            within(load<T>(across[d].light + c), load<T>(across[d].colour + c), lightEps, colourEps) +
            within(load<T>(up[d].light + c), load<T>(up[d].colour + c), lightEps, colourEps) +
            within(load<T>(down[d].light + c), load<T>(down[d].colour + c), lightEps, colourEps);
        storeBytes((d == 0 ? first : second) + c, count);
    }
}

class Tiles {
public:
    Tiles(const BayerMosaic& mosaic, const LabConversion& lab) : m_mosaic(mosaic), m_lab(lab) {}

    void work(int top, int left, TileMemory& t) const
    {
        greenBothWays(top, left, t);
        for (int direction = 0; direction < 2; ++direction)
            redAndBlueAndLab(top, left, t, direction);
        homogeneity(top, left, t);
        combine(top, left, t);
    }

private:
    int colourAt(int row, int col) const { return int(m_mosaic.filters >> ((((row << 1) & 14) | (col & 1)) << 1) & 3); }

    // Green at the red and blue pixels, from the row (direction 0) and from the column (1).
    void greenBothWays(int top, int left, TileMemory& t) const
    {
        const int width = m_mosaic.width;
        const int rowEnd = std::min(top + kTile, m_mosaic.height - 2);
        const int colEnd = std::min(left + kTile, m_mosaic.width - 2);
        for (int row = top; row < rowEnd; ++row) {
            int col = left + (colourAt(row, left) & 1);
            const int c = colourAt(row, col);
            for (; col < colEnd; col += 2) {
                const Pixel* pix = m_mosaic.image + std::size_t(row) * width + col;
                const int at = (row - top) * kTile + (col - left);
                int value = ((pix[-1][1] + pix[0][c] + pix[1][1]) * 2 - pix[-2][c] - pix[2][c]) >> 2;
                t.rgb[0][at][1] = std::uint16_t(between(value, pix[-1][1], pix[1][1]));
                value = ((pix[-width][1] + pix[0][c] + pix[width][1]) * 2 - pix[-2 * width][c] - pix[2 * width][c]) >> 2;
                t.rgb[1][at][1] = std::uint16_t(between(value, pix[-width][1], pix[width][1]));
            }
        }
    }

    // Red and blue from the green of one direction, then the row's CIELab values.
    void redAndBlueAndLab(int top, int left, TileMemory& t, int direction) const
    {
        const int width = m_mosaic.width;
        const int rowEnd = std::min(top + kTile - 1, m_mosaic.height - 3);
        const int colEnd = std::min(left + kTile - 1, m_mosaic.width - 3);
        std::uint16_t(*const rgb)[3] = t.rgb[direction];
        int planes[3][kTile];  // the row's red, green and blue apart
        for (int row = top + 1; row < rowEnd; ++row) {
            const int first = (row - top) * kTile;
            for (int col = left + 1; col < colEnd; ++col) {
                const Pixel* pix = m_mosaic.image + std::size_t(row) * width + col;
                const Pixel* above = pix - width;
                const Pixel* under = pix + width;
                const int at = first + (col - left);
                std::uint16_t* rix = rgb[at];
                const int own = colourAt(row, col);
                int c = 2 - own;
                int value;
                if (c == 1) {
                    c = colourAt(row + 1, col);
                    const int across = 2 - c;
                    value = pix[0][1] + ((pix[-1][across] + pix[1][across] - rgb[at - 1][1] - rgb[at + 1][1]) >> 1);
                    rix[across] = std::uint16_t(clip(value));
                    value = pix[0][1] + ((above[0][c] + under[0][c] - rgb[at - kTile][1] - rgb[at + kTile][1]) >> 1);
                } else {
                    value = rix[1] + ((above[-1][c] + above[1][c] + under[-1][c] + under[1][c] - rgb[at - kTile - 1][1] -
                                       rgb[at - kTile + 1][1] - rgb[at + kTile - 1][1] - rgb[at + kTile + 1][1] + 1) >>
                                      2);
                }
                rix[c] = std::uint16_t(clip(value));
                rix[own] = pix[0][own];
                for (int k = 0; k < 3; ++k)
                    planes[k][col - left] = rix[k];
            }
            labOfRow(planes, t, direction, first, 1, colEnd - left);
        }
    }

    // The CIELab values of a row's pixels from `from` to `to`, as LibRaw's cielab() computes
    // them: the same float operations in the same order. Three loops, so that the first and
    // the last become vector code; the table look-ups between cannot.
    void labOfRow(const int (*const rgb)[kTile], TileMemory& t, int direction, int first, int from, int to) const
    {
        const float(*const x)[4] = m_lab.xyzFromCamera;
        int index[3][kTile];
        for (int k = 0; k < 3; ++k) {
            const float x0 = x[k][0], x1 = x[k][1], x2 = x[k][2];
            int* __restrict out = index[k];
            for (int i = from; i < to; ++i) {
                float xyz = 0.5f;
                xyz += x0 * float(rgb[0][i]);
                xyz += x1 * float(rgb[1][i]);
                xyz += x2 * float(rgb[2][i]);
                // LibRaw's CLIP((int)xyz), without converting a value beyond int's range (or
                // not a number, from a damaged file's colour matrix).
                out[i] = xyz > 65535.0f ? 65535 : xyz > 0.0f ? int(xyz) : 0;
            }
        }
        float root[3][kTile];
        for (int k = 0; k < 3; ++k)
            for (int i = from; i < to; ++i)
                root[k][i] = m_lab.cubeRoot[index[k][i]];
        std::int16_t* __restrict lightness = t.lightness[direction] + first;
        std::int16_t* __restrict redGreen = t.redGreen[direction] + first;
        std::int16_t* __restrict yellowBlue = t.yellowBlue[direction] + first;
        for (int i = from; i < to; ++i) {
            const float fx = root[0][i], fy = root[1][i], fz = root[2][i];
            lightness[i] = std::int16_t(int(64 * (116 * fy - 16)));
            redGreen[i] = std::int16_t(int(64 * 500 * (fx - fy)));
            yellowBlue[i] = std::int16_t(int(64 * 200 * (fy - fz)));
        }
    }

    // For each pixel and direction, how many of its four neighbours are as close in
    // lightness and in colour as the closer of the two directions' own neighbours allow:
    // LibRaw's arithmetic, with unsigned squares that wrap as its do.
    void homogeneity(int top, int left, TileMemory& t) const
    {
        std::memset(t.homogeneity, 0, sizeof t.homogeneity);
        const int rowEnd = std::min(top + kTile - 2, m_mosaic.height - 4) - top;
        const int to = std::min(left + kTile - 2, m_mosaic.width - 4) - left;
        const int from = 2;
        if (to <= from || rowEnd <= from)
            return;
        const Planes planes[2] = {{t.lightness[0], t.redGreen[0], t.yellowBlue[0]},
                                  {t.lightness[1], t.redGreen[1], t.yellowBlue[1]}};
        Distances across[2], up[2], down[2];
        for (int d = 0; d < 2; ++d)
            distances(planes[d], (from - 1) * kTile, kTile, from, to, up[d]);
        for (int r = from; r < rowEnd; ++r) {
            for (int d = 0; d < 2; ++d) {
                distances(planes[d], r * kTile, 1, from - 1, to, across[d]);
                distances(planes[d], r * kTile, kTile, from, to, down[d]);
            }
            std::uint8_t* first = t.homogeneity[0] + r * kTile;
            std::uint8_t* second = t.homogeneity[1] + r * kTile;
            int c = from;
            for (; c + kLanes <= to; c += kLanes)
                countAt<Lanes>(c, across, up, down, first, second);
            for (; c < to; ++c)
                countAt<unsigned>(c, across, up, down, first, second);
            std::swap(up, down);
        }
    }

    // Each pixel takes the direction more homogeneous around it (3 x 3), or the mean of both.
    void combine(int top, int left, TileMemory& t) const
    {
        const int rowEnd = std::min(top + kTile - 3, m_mosaic.height - 5);
        const int colEnd = std::min(left + kTile - 3, m_mosaic.width - 5);
        const int from = 3, to = colEnd - left;
        if (to <= from)
            return;
        int columnSums[2][kTile];
        for (int row = top + 3; row < rowEnd; ++row) {
            const int r = (row - top) * kTile;
            for (int direction = 0; direction < 2; ++direction) {
                const std::uint8_t* h = t.homogeneity[direction] + r;
                for (int tc = from - 1; tc <= to; ++tc)
                    columnSums[direction][tc] = h[tc - kTile] + h[tc] + h[tc + kTile];
            }
            Pixel* pix = m_mosaic.image + std::size_t(row) * m_mosaic.width + left;
            for (int tc = from; tc < to; ++tc) {
                const int hm0 = columnSums[0][tc - 1] + columnSums[0][tc] + columnSums[0][tc + 1];
                const int hm1 = columnSums[1][tc - 1] + columnSums[1][tc] + columnSums[1][tc + 1];
                const std::uint16_t* first = t.rgb[0][r + tc];
                const std::uint16_t* second = t.rgb[1][r + tc];
                std::uint16_t* out = pix[tc];
                if (hm0 != hm1) {
                    const std::uint16_t* chosen = hm1 > hm0 ? second : first;
                    out[0] = chosen[0];
                    out[1] = chosen[1];
                    out[2] = chosen[2];
                } else {
                    for (int c = 0; c < 3; ++c)
                        out[c] = std::uint16_t((first[c] + second[c]) >> 1);
                }
            }
        }
    }

    const BayerMosaic m_mosaic;
    const LabConversion m_lab;
};

}  // namespace

bool threeColourPattern(unsigned filters)
{
    // The pattern repeats every 8 rows and 2 columns, two bits a pixel.
    for (int pixel = 0; pixel < 16; ++pixel)
        if ((filters >> (2 * pixel) & 3) == 3)
            return false;
    return true;
}

bool interpolateAhd(const BayerMosaic& mosaic, const LabConversion& lab, int threads)
{
    if (!threeColourPattern(mosaic.filters))
        return false;
    if (mosaic.width < 8 || mosaic.height < 8 || !mosaic.image || !lab.cubeRoot)
        return true;  // nothing lies 5 pixels from the edge
    const Tiles tiles(mosaic, lab);
    const int tileRows = (mosaic.height - 7 + kStep - 1) / kStep;
    inBands(std::size_t(tileRows), threads, [&](std::size_t first, std::size_t last, int) {
        auto memory = std::make_unique<TileMemory>();
        for (std::size_t band = first; band < last; ++band)
            for (int left = 2; left < mosaic.width - 5; left += kStep)
                tiles.work(2 + int(band) * kStep, left, *memory);
    });
    return true;
}

}  // namespace quarbel::codecs::raw
