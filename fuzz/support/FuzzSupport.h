#pragma once
// What the fuzz targets share: a check that stops the run with a message (libFuzzer then
// keeps the input), a small picture and metadata made from the fuzzer's bytes, the picture in
// RGBA as the other readers give it back and how two such pictures differ, and quiet
// third-party libraries.
//
// The writers' targets read their input front to back through FuzzedDataProvider: the
// numbers (size, bands, options) from the end of the input, the metadata and then the pixels
// from its front (fuzz/make-seeds writes seeds in that layout).

#include "codecs/Metadata.h"
#include "codecs/PixelView.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#define FUZZ_CHECK(condition)                                      \
    do {                                                           \
        if (!(condition))                                          \
            ::quarbel::fuzz::fail(__FILE__, __LINE__, #condition); \
    } while (false)

namespace quarbel::fuzz {

using Bytes = std::vector<std::uint8_t>;

[[noreturn]] void fail(const char* file, int line, const char* what);

// Silences Qt's warnings and libtiff's, which fuzzed input makes by the thousand. Call once.
void quietLibraries();

// A picture of 1 to 4 bands, at most maxSide pixels a side and a height that is a multiple
// of `frames`. When the input runs out, its pixels are the bytes it had, repeated.
struct Picture {
    int width = 0, height = 0, bands = 0;
    Bytes pixels;
    codecs::PixelView view() const { return codecs::tightView(pixels.data(), width, height, bands); }
    // The pixels as 8-bit RGBA: grey repeated, opaque where there is no alpha band.
    Bytes rgba() const;
};
Picture takePicture(FuzzedDataProvider& input, int maxSide = 64, int frames = 1);

// Up to `most` bytes of the input, their length taken first.
Bytes takeBlob(FuzzedDataProvider& input, std::size_t most);

// EXIF (a block parsed from fuzzed bytes), XMP and IPTC, each present or not; and an ICC
// profile (a fuzzed body behind a header that says RGB or grey, or fuzzed bytes throughout).
codecs::Metadata takeMetadata(FuzzedDataProvider& input);
Bytes takeProfile(FuzzedDataProvider& input);

// How one channel (0..3) of an RGBA picture differs from the one expected: the largest
// difference, the mean absolute difference, and how far the channel's mean moved.
struct Difference {
    int largest = 0;
    double mean = 0, shift = 0;
    std::size_t counted = 0;
};
Difference difference(const Bytes& expected, const Bytes& actual, int channel);

// How far the mean luma (BT.601) of an RGBA picture moved from the one expected: what a lossy
// coder keeps even of noise at its lowest quality, where 4:2:0 chroma mixes neighbouring
// colours. Comparable only where nothing is transparent (the colours under alpha 0 are the
// coder's to choose) in a picture of at least 8 x 8 pixels.
double lumaShift(const Bytes& expected, const Bytes& actual);
bool coloursComparable(const Bytes& rgba);

}  // namespace quarbel::fuzz
