#pragma once
// libwebp's picture in YUV 4:2:0 planes (and an alpha plane), filled from RGB rows strip by
// strip. libwebp turns each pair of rows into luma and one row of chroma on its own, so
// strips of an even number of rows give the same planes as the whole picture converted at
// once, without the RGB (or ARGB) copy of the whole picture that importing it at once needs.

#include "codecs/PixelView.h"

#include <webp/encode.h>

namespace quarbel::codecs::webp {

// 3 for grey or RGB, 4 for grey + alpha or RGBA: what rows become before libwebp takes them.
inline int rgbBands(int bands) { return bands == 2 || bands == 4 ? 4 : 3; }

// One row of `bands` samples as rgbBands(bands) samples (grey repeated in R, G and B).
void copyAsRgb(const std::uint8_t* in, int bands, int width, std::uint8_t* out);

enum class Alpha { None, Plane };

class Planes {
public:
    // Throws Failure when the planes cannot be had.
    Planes(int width, int height, Alpha alpha);
    ~Planes();
    Planes(const Planes&) = delete;
    Planes& operator=(const Planes&) = delete;

    // The next rows, RGB or RGBA as the alpha says: an even count unless they end the picture.
    void import(const PixelView& rows);
    int rowsDone() const { return m_next; }
    WebPPicture& picture() { return m_picture; }

private:
    WebPPicture m_picture;
    WebPPicture m_strip;  // the rows just converted, copied into m_picture's planes
    int m_next = 0;
};

}  // namespace quarbel::codecs::webp
