#include "codecs/bmp/Bmp.h"

#include "codecs/ByteOrder.h"
#include "codecs/Failure.h"

#include <new>

namespace quarbel::codecs::bmp {

namespace {

constexpr std::size_t kFileHeader = 14, kInfoHeader = 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch

}  // namespace

Writer::Writer(int width, int height, const CancelToken* cancel) : m_cancel(cancel), m_height(height)
{
    const std::size_t w = std::size_t(width), h = std::size_t(height);
    m_stride = (w * 3 + 3) & ~std::size_t(3);
    const std::size_t total = kFileHeader + kInfoHeader + m_stride * h;
    if (width <= 0 || height <= 0 || total > 0xFFFFFFFFu)
        throw Failure("the picture is too large for a BMP file");
    try {
        m_file.assign(total, 0);
    } catch (const std::bad_alloc&) {
        throw Failure("not enough memory for the BMP file");
    }
    std::uint8_t* p = m_file.data();
    p[0] = 'B';
    p[1] = 'M';
    store32le(p + 2, std::uint32_t(total));
    store32le(p + 10, kFileHeader + kInfoHeader);
    store32le(p + 14, kInfoHeader);
    store32le(p + 18, std::uint32_t(w));
    store32le(p + 22, std::uint32_t(h));
    store16le(p + 26, 1);   // planes
    store16le(p + 28, 24);  // bits per pixel
    store32le(p + 30, 0);   // BI_RGB
    store32le(p + 34, std::uint32_t(m_stride * h));
    store32le(p + 38, kPixelsPerMetre);
    store32le(p + 42, kPixelsPerMetre);
}

void Writer::add(const PixelView& rows, int top)
{
    checkCancel(m_cancel);
    std::uint8_t* pixels = m_file.data() + kFileHeader + kInfoHeader;
    for (int y = 0; y < rows.height; ++y) {
        const std::uint8_t* in = rows.row(y);
        std::uint8_t* out = pixels + std::size_t(m_height - 1 - (top + y)) * m_stride;
        if (rows.bands == 3) {
            for (int x = 0; x < rows.width; ++x, in += 3, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        } else {
            for (int x = 0; x < rows.width; ++x, ++in, out += 3)
                out[0] = out[1] = out[2] = *in;
        }
    }
}

Bytes encode(const PixelView& picture)
{
    if (picture.bands != 1 && picture.bands != 3)
        throw Failure("internal error: BMP output needs 8-bit RGB");
    Writer writer(picture.width, picture.height);
    writer.add(picture, 0);
    return writer.take();
}

}  // namespace quarbel::codecs::bmp
