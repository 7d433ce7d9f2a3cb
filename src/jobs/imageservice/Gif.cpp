#include "jobs/imageservice/Gif.h"

#include "jobs/imageservice/GifLzw.h"
#include "jobs/imageservice/Pixels.h"
#include "jobs/imageservice/Quantize.h"
#include "jobs/imageservice/Vips.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace quarbel::imageservice {

namespace {

using vips::VImage;
using Bytes = std::vector<std::uint8_t>;
using quantize::Palette;
using quantize::PixelRect;

constexpr int kDefaultDelay = 10;  // centiseconds, for frames that come without one
// Each frame costs some bytes in the file and while writing it whatever its size: an
// animation of a great many tiny frames is refused rather than let that grow without bound
// (a hundred thousand frames play for at least 17 minutes).
constexpr int kMaxFrames = 100000;

void put16(Bytes& out, unsigned v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

// Each frame's display time in centiseconds: libvips gives milliseconds per frame ("delay"),
// older pictures one time for all in centiseconds ("gif-delay").
std::vector<int> delaysOf(const VImage& image, int frames)
{
    std::vector<int> delays(std::size_t(frames), kDefaultDelay);
    if (image.get_typeof("delay")) {
        const std::vector<int> ms = image.get_array_int("delay");
        for (std::size_t i = 0; i < delays.size() && !ms.empty(); ++i)
            delays[i] = (std::max(0, ms[std::min(i, ms.size() - 1)]) + 5) / 10;
    } else if (image.get_typeof("gif-delay")) {
        std::fill(delays.begin(), delays.end(), std::max(0, image.get_int("gif-delay")));
    }
    for (int& d : delays)
        d = std::min(d, 0xFFFF);
    return delays;
}

// libvips' "loop": how many times the animation plays, 0 for ever.
int loopOf(const VImage& image)
{
    return image.get_typeof("loop") ? std::max(0, image.get_int("loop")) : 0;
}

// Colour tables hold 2, 4, ... 256 entries.
int tableBits(int entries)
{
    int bits = 1;
    while ((1 << bits) < entries)
        ++bits;
    return bits;
}

void putTable(Bytes& out, const Palette& palette, int bits)
{
    const std::size_t start = out.size();
    out.resize(start + (std::size_t(3) << bits), 0);  // unused entries and the transparent one are black
    std::uint8_t* entry = out.data() + start + 3 * std::size_t(palette.first());
    for (const quantize::Rgb& c : palette.colours) {
        std::memcpy(entry, c.data(), 3);
        entry += 3;
    }
}

struct Layout {
    int width, height;  // of one frame
    int frames;
    bool transparent;   // every palette has a transparent entry
    std::vector<int> delays;
    int loop;
};

Bytes writeFile(const Layout& layout, const std::vector<Palette>& palettes, const Bytes& indices)
{
    Bytes out;
    const std::size_t framePixels = std::size_t(layout.width) * std::size_t(layout.height);
    // About a byte per pixel: more than dithered photographs need. Pages never written are
    // never taken from the system, so the slack costs nothing and the bytes are not copied.
    out.reserve(indices.size() + indices.size() / 64 + 1024 * std::size_t(layout.frames + 1));
    const bool shared = palettes.size() == 1;
    out.insert(out.end(), {'G', 'I', 'F', '8', '9', 'a'});
    put16(out, unsigned(layout.width));
    put16(out, unsigned(layout.height));
    const int globalBits = tableBits(palettes[0].size());
    // Global table flag, 8 bits per primary in the source, table size.
    out.push_back(shared ? std::uint8_t(0x80 | 7 << 4 | (globalBits - 1)) : std::uint8_t(7 << 4));
    out.push_back(0);  // background: entry 0, the transparent one when there is one
    out.push_back(0);  // no pixel aspect ratio
    if (shared)
        putTable(out, palettes[0], globalBits);
    // The loop count says how often the animation repeats after its first showing; a single
    // showing is the absence of the extension.
    if (layout.frames > 1 && layout.loop != 1) {
        out.insert(out.end(), {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1});
        put16(out, layout.loop == 0 ? 0u : unsigned(std::min(layout.loop - 1, 0xFFFF)));
        out.push_back(0);
    }
    for (int f = 0; f < layout.frames; ++f) {
        const Palette& palette = palettes[shared ? 0 : std::size_t(f)];
        if (layout.frames > 1 || layout.transparent) {
            // Every frame is complete. When frames have transparent pixels, each is cleared
            // away before the next one is drawn, else the next simply covers it.
            const int disposal = layout.transparent ? 2 : 1;
            out.insert(out.end(), {0x21, 0xF9, 4, std::uint8_t(disposal << 2 | (layout.transparent ? 1 : 0))});
            put16(out, unsigned(layout.delays[std::size_t(f)]));
            out.push_back(0);  // the transparent entry
            out.push_back(0);
        }
        out.push_back(0x2C);
        put16(out, 0);
        put16(out, 0);
        put16(out, unsigned(layout.width));
        put16(out, unsigned(layout.height));
        const int bits = tableBits(palette.size());
        if (shared) {
            out.push_back(0);
        } else {
            out.push_back(std::uint8_t(0x80 | (bits - 1)));
            putTable(out, palette, bits);
        }
        appendLzw(indices.data() + std::size_t(f) * framePixels, framePixels, std::max(2, bits), out);
    }
    out.push_back(0x3B);
    return out;
}

}  // namespace

std::vector<std::uint8_t> encodeGif(VImage image)
{
    if (image.format() != VIPS_FORMAT_UCHAR || image.bands() < 1 || image.bands() > 4)
        throw vips_util::Failure("internal error: GIF output needs 8-bit grey or sRGB pixels");
    Layout layout;
    layout.width = image.width();
    layout.height = pixels::pageHeight(image);
    layout.frames = image.height() / layout.height;
    if (layout.width > 0xFFFF || layout.height > 0xFFFF)
        throw vips_util::Failure("the picture is too large for a GIF file");
    if (layout.frames > kMaxFrames)
        throw vips_util::Failure("the animation has too many frames for a GIF file (" + std::to_string(layout.frames) +
                                 ", at most " + std::to_string(kMaxFrames) + ")");
    layout.delays = delaysOf(image, layout.frames);
    layout.loop = loopOf(image);

    // The decoded pixels once in memory; they go as soon as every pixel has its index.
    image = image.copy_memory();
    const auto* data = static_cast<const std::uint8_t*>(image.data());
    const int bands = image.bands();
    const std::size_t framePixels = std::size_t(layout.width) * std::size_t(layout.height);
    std::vector<PixelRect> frames;
    for (int f = 0; f < layout.frames; ++f)
        frames.push_back(PixelRect{data + std::size_t(f) * framePixels * std::size_t(bands), layout.width,
                                   layout.height, bands});
    layout.transparent = std::any_of(frames.begin(), frames.end(), quantize::hasTransparentPixel);

    Bytes indices(framePixels * std::size_t(layout.frames));
    std::vector<Palette> palettes(1);
    // An animation shares one palette when all its frames together have few enough colours,
    // else each frame gets its own.
    if (layout.frames == 1) {
        palettes[0] = quantize::toIndices(frames[0], layout.transparent, indices.data());
    } else if (!quantize::toIndicesExactly(frames, layout.transparent, indices.data(), palettes[0])) {
        palettes.clear();
        for (int f = 0; f < layout.frames; ++f)
            palettes.push_back(quantize::toIndices(frames[std::size_t(f)], layout.transparent,
                                                   indices.data() + std::size_t(f) * framePixels));
    }
    frames.clear();
    image = VImage();
    return writeFile(layout, palettes, indices);
}

}  // namespace quarbel::imageservice
