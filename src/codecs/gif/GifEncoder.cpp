#include "codecs/gif/GifEncoder.h"

#include "codecs/ByteOrder.h"
#include "codecs/Failure.h"
#include "codecs/gif/GifLzw.h"
#include "codecs/gif/Quantize.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace quarbel::codecs::gif {

namespace {

using quantize::Palette;

// Each frame costs some bytes in the file and while writing it whatever its size: an
// animation of a great many tiny frames is refused rather than let that grow without bound
// (a hundred thousand frames play for at least 17 minutes).
constexpr int kMaxFrames = 100000;

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

}  // namespace

Indexed index(const PixelView& picture, const Options& options)
{
    if (picture.bands < 1 || picture.bands > 4)
        throw Failure("internal error: GIF output needs grey or RGB pixels");
    Indexed layout;
    layout.frames = std::max(1, options.frames);
    layout.width = picture.width;
    layout.height = picture.height / layout.frames;
    if (layout.width > 0xFFFF || layout.height > 0xFFFF)
        throw Failure("the picture is too large for a GIF file");
    if (layout.frames > kMaxFrames)
        throw Failure("the animation has too many frames for a GIF file (" + std::to_string(layout.frames) +
                      ", at most " + std::to_string(kMaxFrames) + ")");
    layout.delays = options.delays;
    layout.delays.resize(std::size_t(layout.frames), kDefaultDelay);
    for (int& d : layout.delays)
        d = std::clamp(d, 0, 0xFFFF);
    layout.loop = std::max(0, options.loop);

    Bytes packedStorage;
    const PixelView all = packed(picture, packedStorage);
    std::vector<PixelView> frames;
    for (int f = 0; f < layout.frames; ++f)
        frames.push_back(all.rows(f * layout.height, layout.height));
    layout.transparent = std::any_of(frames.begin(), frames.end(), quantize::hasTransparentPixel);

    const std::size_t framePixels = std::size_t(layout.width) * std::size_t(layout.height);
    layout.indices.resize(framePixels * std::size_t(layout.frames));
    layout.palettes.resize(1);
    // An animation shares one palette when all its frames together have few enough colours,
    // else each frame gets its own.
    if (layout.frames == 1) {
        layout.palettes[0] =
            quantize::toIndices(frames[0], layout.transparent, layout.indices.data(), options.cancel);
    } else if (!quantize::toIndicesExactly(frames, layout.transparent, layout.indices.data(),
                                           layout.palettes[0])) {
        layout.palettes.clear();
        for (int f = 0; f < layout.frames; ++f)
            layout.palettes.push_back(
                quantize::toIndices(frames[std::size_t(f)], layout.transparent,
                                    layout.indices.data() + std::size_t(f) * framePixels, options.cancel));
    }
    return layout;
}

Bytes write(const Indexed& layout, const CancelToken* cancel)
{
    const std::vector<Palette>& palettes = layout.palettes;
    const Bytes& indices = layout.indices;
    Bytes out;
    const std::size_t framePixels = std::size_t(layout.width) * std::size_t(layout.height);
    // About a byte per pixel: more than dithered photographs need. Pages never written are
    // never taken from the system, so the slack costs nothing and the bytes are not copied.
    out.reserve(indices.size() + indices.size() / 64 + 1024 * std::size_t(layout.frames + 1));
    const bool shared = palettes.size() == 1;
    out.insert(out.end(), {'G', 'I', 'F', '8', '9', 'a'});
    append16le(out, unsigned(layout.width));
    append16le(out, unsigned(layout.height));
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
        append16le(out, layout.loop == 0 ? 0u : unsigned(std::min(layout.loop - 1, 0xFFFF)));
        out.push_back(0);
    }
    for (int f = 0; f < layout.frames; ++f) {
        const Palette& palette = palettes[shared ? 0 : std::size_t(f)];
        if (layout.frames > 1 || layout.transparent) {
            // Every frame is complete. When frames have transparent pixels, each is cleared
            // away before the next one is drawn, else the next simply covers it.
            const int disposal = layout.transparent ? 2 : 1;
            out.insert(out.end(),
                       {0x21, 0xF9, 4, std::uint8_t(disposal << 2 | (layout.transparent ? 1 : 0))});
            append16le(out, unsigned(layout.delays[std::size_t(f)]));
            out.push_back(0);  // the transparent entry
            out.push_back(0);
        }
        out.push_back(0x2C);
        append16le(out, 0);
        append16le(out, 0);
        append16le(out, unsigned(layout.width));
        append16le(out, unsigned(layout.height));
        const int bits = tableBits(palette.size());
        if (shared) {
            out.push_back(0);
        } else {
            out.push_back(std::uint8_t(0x80 | (bits - 1)));
            putTable(out, palette, bits);
        }
        appendLzw(indices.data() + std::size_t(f) * framePixels, framePixels, std::max(2, bits), out, cancel);
    }
    out.push_back(0x3B);
    return out;
}

}  // namespace quarbel::codecs::gif
