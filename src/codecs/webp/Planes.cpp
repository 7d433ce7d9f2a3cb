#include "codecs/webp/Planes.h"

#include "codecs/Failure.h"
#include "codecs/webp/Settings.h"

#include <cstring>

namespace quarbel::codecs::webp {

void copyAsRgb(const std::uint8_t* in, int bands, int width, std::uint8_t* out)
{
    switch (bands) {
    case 1:
        for (int x = 0; x < width; ++x, out += 3)
            out[0] = out[1] = out[2] = in[x];
        break;
    case 2:
        for (int x = 0; x < width; ++x, in += 2, out += 4) {
            out[0] = out[1] = out[2] = in[0];
            out[3] = in[1];
        }
        break;
    default: std::memcpy(out, in, std::size_t(width) * std::size_t(bands));
    }
}

Planes::Planes(int width, int height, Alpha alpha)
{
    if (!WebPPictureInit(&m_picture) || !WebPPictureInit(&m_strip))
        throw Failure("the WebP library is not the version the program was built with");
    m_picture.width = m_strip.width = width;
    m_picture.height = height;
    m_picture.use_argb = m_strip.use_argb = 0;
    m_picture.colorspace = alpha == Alpha::Plane ? WEBP_YUV420A : WEBP_YUV420;
    if (!WebPPictureAlloc(&m_picture))
        fail(m_picture.error_code);
}

Planes::~Planes()
{
    WebPPictureFree(&m_strip);
    WebPPictureFree(&m_picture);
}

void Planes::import(const PixelView& rows)
{
    const int count = rows.height;
    const bool alpha = m_picture.a != nullptr;
    if (rows.width != m_picture.width || rows.bands != (alpha ? 4 : 3) || count < 1 ||
        m_next + count > m_picture.height || (count % 2 && m_next + count != m_picture.height))
        throw Failure("internal error: rows that do not fit the WebP picture");
    m_strip.height = count;
    const int stride = int(rows.stride);
    if (!(alpha ? WebPPictureImportRGBA(&m_strip, rows.data, stride)
                : WebPPictureImportRGB(&m_strip, rows.data, stride)))
        fail(m_strip.error_code);

    const std::size_t width = std::size_t(m_picture.width), chromaWidth = (width + 1) / 2;
    for (int y = 0; y < count; ++y)
        std::memcpy(m_picture.y + std::size_t(m_next + y) * std::size_t(m_picture.y_stride),
                    m_strip.y + std::size_t(y) * std::size_t(m_strip.y_stride), width);
    for (int y = 0; y < (count + 1) / 2; ++y) {
        const std::size_t to = std::size_t(m_next / 2 + y) * std::size_t(m_picture.uv_stride);
        const std::size_t from = std::size_t(y) * std::size_t(m_strip.uv_stride);
        std::memcpy(m_picture.u + to, m_strip.u + from, chromaWidth);
        std::memcpy(m_picture.v + to, m_strip.v + from, chromaWidth);
    }
    // libwebp leaves out the alpha plane of rows that are opaque everywhere.
    for (int y = 0; alpha && y < count; ++y) {
        std::uint8_t* to = m_picture.a + std::size_t(m_next + y) * std::size_t(m_picture.a_stride);
        if (m_strip.a)
            std::memcpy(to, m_strip.a + std::size_t(y) * std::size_t(m_strip.a_stride), width);
        else
            std::memset(to, 0xFF, width);
    }
    m_next += count;
}

}  // namespace quarbel::codecs::webp
