#pragma once
// Adaptive homogeneity-directed (AHD) demosaicing of a Bayer mosaic, giving the same pixels
// as LibRaw's ahd_interpolate, faster. Written by hand because LibRaw's took about 60 % of a
// camera raw file's development (perf, three 24-megapixel DNGs) and cannot be made faster
// from outside: it works tiles of 512 x 512 pixels whose 6.8 MB of working memory spill out
// of a core's cache, calls a function for each pixel's CIELab value, keeps L, a and b side by
// side where the compiler cannot make vector code of them, and measures each distance
// between neighbours twice. Here tiles are 128 x 128 (256 was no faster, 64 slower), the Lab
// values are computed a row at a time in line, the planes are apart and worked four pixels
// at a time, and each distance is measured once. codecs/raw/Develop.cpp puts it in LibRaw's
// place through the interpolation hook LibRaw offers; the test compares the developed
// pictures byte for byte.
//
// One 24-megapixel DNG to JPG (quarbel-batch --jobs 1, three runs): 0.86-0.87 s and 1.31-1.33 s
// of processor time, against 1.05-1.07 s and 1.67-1.72 s with LibRaw's; the same output file.
// bench/run raw-to-jpg (RUNS=5): 2.46 s against 3.07 s for LibRaw's dcraw_emu | cjpeg, the
// same PSNR (27.32 dB).

#include <cstdint>

namespace quarbel::codecs::raw {

struct BayerMosaic {
    std::uint16_t (*image)[4] = nullptr;  // width x height pixels, each with its own colour set
    int width = 0;
    int height = 0;
    unsigned filters = 0;  // LibRaw's colour pattern: three colours, 0 to 2
};

// LibRaw's camera-to-XYZ matrix (divided by the D65 white) and its cube-root table for the
// Lab values the homogeneity is judged in.
struct LabConversion {
    const float* cubeRoot = nullptr;  // 0x10000 entries
    float xyzFromCamera[3][4] = {};
};

// Whether LibRaw's colour pattern names only colours 0 to 2: a fourth would index past the
// three values AHD keeps a pixel.
bool threeColourPattern(unsigned filters);

// Fills in the two missing colours of every pixel at least 5 pixels from the edge (LibRaw's
// border_interpolate does the rest), on `threads` threads. False, with nothing done, for a
// pattern that is not threeColourPattern.
bool interpolateAhd(const BayerMosaic& mosaic, const LabConversion& lab, int threads);

}  // namespace quarbel::codecs::raw
