#include "jobs/imageservice/Png.h"

#include "jobs/imageservice/Vips.h"

#include <libdeflate.h>
#include <zlib.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace quarbel::imageservice {

namespace {

using vips::VImage;
using Bytes = std::vector<std::uint8_t>;

// Above this many bytes of raw pixels the picture streams through libvips instead.
constexpr std::size_t kInMemoryLimit = 48u << 20;
// On 65 photographs, screenshots and drawings level 4 writes 1.6% more than level 6 in 30%
// less time, and still less than Pillow and ImageMagick at their defaults.
constexpr int kLevel = 4;

enum ColourType : std::uint8_t { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };

struct Compressor {
    libdeflate_compressor* c;
    explicit Compressor(int level) : c(libdeflate_alloc_compressor(level))
    {
        if (!c)
            throw std::bad_alloc();
    }
    ~Compressor() { libdeflate_free_compressor(c); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    // Appends the zlib stream of data to out. The compressor needs room for its worst case,
    // about the size of the data; that room is taken untouched from the system, so only the
    // pages it actually writes ever use memory.
    void zlib(const std::uint8_t* data, std::size_t size, Bytes& out) const
    {
        const std::size_t bound = libdeflate_zlib_compress_bound(c, size);
        std::unique_ptr<std::uint8_t, decltype(&std::free)> room(static_cast<std::uint8_t*>(std::malloc(bound)), &std::free);
        if (!room)
            throw std::bad_alloc();
        const std::size_t n = libdeflate_zlib_compress(c, data, size, room.get(), bound);
        if (n == 0)
            throw vips_util::Failure("the PNG data could not be compressed");
        out.insert(out.end(), room.get(), room.get() + n);
    }
};

void put32(Bytes& out, std::uint32_t v)
{
    for (int shift : {24, 16, 8, 0})
        out.push_back(std::uint8_t(v >> shift));
}

// A chunk whose data is already at the end of out, from dataStart on (its length and type
// go in the 8 bytes before it).
void closeChunk(Bytes& out, std::size_t dataStart)
{
    const std::uint32_t length = std::uint32_t(out.size() - dataStart);
    std::uint8_t* head = out.data() + dataStart - 8;
    for (int i = 0; i < 4; ++i)
        head[i] = std::uint8_t(length >> (24 - 8 * i));
    const uLong crc = crc32(crc32(0, nullptr, 0), head + 4, uInt(length + 4));
    put32(out, std::uint32_t(crc));
}

std::size_t openChunk(Bytes& out, const char type[4])
{
    out.insert(out.end(), 4, 0);
    out.insert(out.end(), type, type + 4);
    return out.size();
}

void chunk(Bytes& out, const char type[4], const Bytes& data)
{
    const std::size_t start = openChunk(out, type);
    out.insert(out.end(), data.begin(), data.end());
    closeChunk(out, start);
}

// The pixels as the file will hold them, one row after another, without filter bytes.
struct Pixels {
    ColourType type;
    int channels;           // samples per pixel in the file
    const std::uint8_t* rows = nullptr;
    Bytes storage;          // the rows, when they differ from the picture's own samples
    Bytes palette, transparency;  // for Palette
};

bool allGrey(const std::uint8_t* p, std::size_t pixels, int bands)
{
    for (std::size_t i = 0; i < pixels; ++i, p += bands)
        if (p[0] != p[1] || p[1] != p[2])
            return false;
    return true;
}

bool opaque(const std::uint8_t* p, std::size_t pixels, int bands)
{
    for (std::size_t i = 0, a = std::size_t(bands - 1); i < pixels; ++i, a += bands)
        if (p[a] != 255)
            return false;
    return true;
}

// Keeps the given samples of each pixel.
Bytes select(const std::uint8_t* p, std::size_t pixels, int bands, std::initializer_list<int> keep)
{
    Bytes out;
    out.reserve(pixels * keep.size());
    for (std::size_t i = 0; i < pixels; ++i, p += bands)
        for (int k : keep)
            out.push_back(p[k]);
    return out;
}

// Indices into a palette of at most 256 entries, or false when there are more colours.
bool toPalette(const std::uint8_t* p, std::size_t pixels, int bands, Pixels& out)
{
    std::unordered_map<std::uint32_t, std::uint8_t> index;
    index.reserve(512);
    Bytes indices;
    indices.reserve(pixels);  // photographs stop after a few hundred pixels: touch no more
    std::vector<std::uint32_t> colours;
    for (std::size_t i = 0; i < pixels; ++i, p += bands) {
        const std::uint32_t key = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                                  std::uint32_t(bands == 4 ? p[3] : 255) << 24;
        auto [it, added] = index.try_emplace(key, std::uint8_t(colours.size()));
        if (added) {
            if (colours.size() == 256)
                return false;
            colours.push_back(key);
        }
        indices.push_back(it->second);
    }
    out.type = Palette;
    out.channels = 1;
    out.storage = std::move(indices);
    out.rows = out.storage.data();
    for (std::uint32_t c : colours) {
        out.palette.insert(out.palette.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
        out.transparency.push_back(std::uint8_t(c >> 24));
    }
    while (!out.transparency.empty() && out.transparency.back() == 255)
        out.transparency.pop_back();  // entries left out are opaque
    return true;
}

Pixels reduce(const std::uint8_t* p, std::size_t pixels, int bands)
{
    const bool alpha = bands == 2 || bands == 4;
    const bool keepAlpha = alpha && !opaque(p, pixels, bands);
    Pixels out;
    if (bands >= 3 && allGrey(p, pixels, bands)) {
        out.type = keepAlpha ? GreyAlpha : Grey;
        out.channels = keepAlpha ? 2 : 1;
        out.storage = keepAlpha ? select(p, pixels, bands, {0, 3}) : select(p, pixels, bands, {0});
        out.rows = out.storage.data();
        return out;
    }
    if (bands >= 3 && toPalette(p, pixels, bands, out))
        return out;
    out.channels = keepAlpha ? bands : (alpha ? bands - 1 : bands);
    out.type = out.channels == 1 ? Grey : out.channels == 2 ? GreyAlpha : out.channels == 3 ? Rgb : Rgba;
    if (out.channels == bands) {
        out.rows = p;
    } else {
        out.storage = bands == 2 ? select(p, pixels, bands, {0}) : select(p, pixels, bands, {0, 1, 2});
        out.rows = out.storage.data();
    }
    return out;
}

inline int paeth(int a, int b, int c)
{
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Each row gets the filter whose output has the smallest sum of magnitudes (libpng's and
// Pillow's heuristic); a palette picture is not filtered, as the PNG book advises.
Bytes filterRows(const Pixels& px, std::size_t width, std::size_t height)
{
    const std::size_t bpp = std::size_t(px.channels), stride = width * bpp;
    Bytes out((stride + 1) * height);
    if (px.type == Palette) {
        for (std::size_t y = 0; y < height; ++y) {
            out[y * (stride + 1)] = 0;
            std::memcpy(&out[y * (stride + 1) + 1], &px.rows[y * stride], stride);
        }
        return out;
    }
    std::array<Bytes, 5> trial;
    for (auto& t : trial)
        t.resize(stride);
    const Bytes zero(stride, 0);
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* cur = &px.rows[y * stride];
        const std::uint8_t* up = y ? cur - stride : zero.data();
        std::array<long, 5> cost{};
        for (std::size_t x = 0; x < stride; ++x) {
            const int a = x >= bpp ? cur[x - bpp] : 0, b = up[x], c = x >= bpp ? up[x - bpp] : 0, v = cur[x];
            const std::uint8_t f[5] = {std::uint8_t(v), std::uint8_t(v - a), std::uint8_t(v - b),
                                       std::uint8_t(v - ((a + b) >> 1)), std::uint8_t(v - paeth(a, b, c))};
            for (int k = 0; k < 5; ++k) {
                trial[k][x] = f[k];
                cost[k] += std::abs(int(std::int8_t(f[k])));
            }
        }
        int best = 0;
        for (int k = 1; k < 5; ++k)
            if (cost[k] < cost[best])
                best = k;
        out[y * (stride + 1)] = std::uint8_t(best);
        std::memcpy(&out[y * (stride + 1) + 1], trial[best].data(), stride);
    }
    return out;
}

struct Header {
    std::uint32_t width, height;
    Bytes profile;  // ICC, may be empty
};

Bytes writeFile(const Pixels& px, const Header& image, const Bytes& filtered)
{
    Compressor compressor(kLevel);
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    auto be32 = [&](std::uint32_t v) { put32(header, v); };
    be32(image.width);
    be32(image.height);
    header.insert(header.end(), {8, px.type, 0, 0, 0});
    chunk(out, "IHDR", header);
    const Bytes& profile = image.profile;
    // Grey pictures may only carry a grey profile; the sRGB one then stays out.
    if (profile.size() >= 20 && px.type != Palette &&
        (px.type == Rgb || px.type == Rgba) == (std::memcmp(profile.data() + 16, "RGB ", 4) == 0)) {
        Bytes iccp = {'I', 'C', 'C', ' ', 'p', 'r', 'o', 'f', 'i', 'l', 'e', 0, 0};
        compressor.zlib(profile.data(), profile.size(), iccp);
        chunk(out, "iCCP", iccp);
    }
    if (px.type == Palette) {
        chunk(out, "PLTE", px.palette);
        if (!px.transparency.empty())
            chunk(out, "tRNS", px.transparency);
    }
    const std::size_t start = openChunk(out, "IDAT");
    compressor.zlib(filtered.data(), filtered.size(), out);
    closeChunk(out, start);
    chunk(out, "IEND", {});
    return out;
}

Bytes viaLibvips(VImage image)
{
    return vips_util::take(image.pngsave_buffer(
        VImage::option()->set("compression", kLevel)->set("filter", VIPS_FOREIGN_PNG_FILTER_ALL)));
}

}  // namespace

std::vector<std::uint8_t> encodePng(VImage image)
{
    const std::size_t pixels = std::size_t(image.width()) * std::size_t(image.height());
    const int bands = image.bands();
    if (image.format() != VIPS_FORMAT_UCHAR || bands < 1 || bands > 4 || pixels * bands > kInMemoryLimit)
        return viaLibvips(image);
    Header header{std::uint32_t(image.width()), std::uint32_t(image.height()), {}};
    if (image.get_typeof("icc-profile-data")) {
        size_t length = 0;
        const auto* profile = static_cast<const std::uint8_t*>(image.get_blob("icc-profile-data", &length));
        header.profile.assign(profile, profile + length);
    }
    image = image.copy_memory();
    const auto* data = static_cast<const std::uint8_t*>(image.data());
    Pixels px = reduce(data, pixels, bands);
    const Bytes filtered = filterRows(px, header.width, header.height);
    image = VImage();  // the decoded pixels are not needed any more
    px.storage = Bytes();
    return writeFile(px, header, filtered);
}

}  // namespace quarbel::imageservice
