#pragma once
// GIF files, written here: GIF89a with the smallest colour table that holds the palette (see
// Quantize.h for how pixels become palette indices) and our own LZW code stream (see
// GifLzw.h). Frames stacked top to bottom stay an animation: every frame is complete, with
// its display time and the loop count, and shares one palette when all frames together have
// few enough colours, else each frame has its own.
//
// Measured against cgif 0.3 (the writer libvips uses) writing the same palette and indices,
// bench/codec_compare gif on the 65 files of the bench corpus, one thread, on a loaded 2-core
// machine: 73.0 s and 416,605,981 bytes here, 79.2 s and 440,912,229 bytes (6% more) through
// cgif. Our LZW keeps a full code table while it compresses well (see GifLzw.h).

#include "codecs/Cancel.h"
#include "codecs/PixelView.h"
#include "codecs/gif/Palette.h"

#include <cstdint>
#include <vector>

namespace quarbel::codecs::gif {

using Bytes = std::vector<std::uint8_t>;

inline constexpr int kDefaultDelay = 10;  // centiseconds, for frames that come without one

struct Options {
    int frames = 1;                       // stacked top to bottom in the picture, all of one height
    std::vector<int> delays;              // centiseconds per frame; missing ones are kDefaultDelay
    int loop = 0;                         // how many times the animation plays, 0 for ever
    const CancelToken* cancel = nullptr;  // looked at between rows while indexing
};

// The picture as palette indices: once made, its own pixels are no longer needed.
struct Indexed {
    int width = 0, height = 0, frames = 1;    // height of one frame
    bool transparent = false;                 // every palette has a transparent entry
    std::vector<quantize::Palette> palettes;  // one shared, or one per frame
    Bytes indices;                            // the frames' indices one after another
    std::vector<int> delays;
    int loop = 0;
};

// The picture: 1 to 4 bands. Throws Failure for what a GIF file cannot hold, std::bad_alloc
// when memory runs out, Cancelled once options.cancel is cancelled.
Indexed index(const PixelView& picture, const Options& options);
// Throws Cancelled once cancel is cancelled (looked at every few thousand pixels).
Bytes write(const Indexed& picture, const CancelToken* cancel = nullptr);

inline Bytes encode(const PixelView& picture, const Options& options = {})
{
    return write(index(picture, options));
}

}  // namespace quarbel::codecs::gif
