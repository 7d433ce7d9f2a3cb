#include "jobs/imageservice/Bmp.h"

#include "jobs/imageservice/Vips.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>

namespace quarbel::imageservice {

namespace {

std::uint32_t le32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint16_t le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

void put16(std::uint8_t* p, std::uint16_t v) { p[0] = v & 0xFF; p[1] = v >> 8; }
void put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = (v >> (8 * i)) & 0xFF;
}

constexpr std::size_t kFileHeader = 14, kInfoHeader = 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch

struct Writer {
    std::uint8_t* pixels;  // first byte of the pixel array (bottom row first)
    std::size_t stride;
    int height;
    int bands;
};

int writeRows(VipsRegion* region, VipsRect* area, void* a)
{
    auto* w = static_cast<Writer*>(a);
    for (int y = area->top; y < area->top + area->height; ++y) {
        const auto* in = reinterpret_cast<const std::uint8_t*>(VIPS_REGION_ADDR(region, area->left, y));
        std::uint8_t* out = w->pixels + std::size_t(w->height - 1 - y) * w->stride + std::size_t(area->left) * 3;
        if (w->bands == 3) {
            for (int x = 0; x < area->width; ++x, in += 3, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        } else {
            for (int x = 0; x < area->width; ++x, ++in, out += 3)
                out[0] = out[1] = out[2] = *in;
        }
    }
    return 0;
}

// Hands a g_malloc'd RGB(A) buffer to libvips, which frees it when the picture closes.
vips::VImage adoptPixels(void* pixels, int width, int height, int bands)
{
    vips::VImage image;
    try {
        image = vips::VImage::new_from_memory(pixels, std::size_t(width) * std::size_t(height) * std::size_t(bands),
                                              width, height, bands, VIPS_FORMAT_UCHAR);
    } catch (...) {
        g_free(pixels);
        throw;
    }
    g_signal_connect(image.get_image(), "postclose", G_CALLBACK(+[](VipsImage*, gpointer p) { g_free(p); }),
                     pixels);
    // Set on the picture itself rather than through a copy, so that it stays a picture in
    // memory: writers that need all pixels at once then take them as they are.
    image.get_image()->Type = VIPS_INTERPRETATION_sRGB;
    return image;
}

// Uncompressed 24-bit files, by far the most common kind, are unpacked here in one pass;
// Qt's reader goes through 32-bit pixels and needs a second pass to pack them. False when
// the file is of another kind.
bool decodePlainRgb(const std::uint8_t* data, std::size_t size, const BmpHeader& header, vips::VImage& out)
{
    if (size < kFileHeader + kInfoHeader || le32(data + 14) < kInfoHeader || le16(data + 26) != 1 ||
        le16(data + 28) != 24 || le32(data + 30) != 0)
        return false;
    const bool topDown = static_cast<std::int32_t>(le32(data + 22)) < 0;
    const std::size_t width = std::size_t(header.width), height = std::size_t(header.height);
    const std::size_t stride = (width * 3 + 3) & ~std::size_t(3);
    const std::size_t offset = le32(data + 10);
    if (offset > size || (size - offset) / stride < height)
        return false;
    auto* pixels = static_cast<std::uint8_t*>(g_try_malloc(width * height * 3));
    if (!pixels)
        throw vips_util::Failure("not enough memory to decode the BMP file");
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* in = data + offset + stride * (topDown ? y : height - 1 - y);
        std::uint8_t* o = pixels + width * 3 * y;
        for (std::size_t x = 0; x < width; ++x, in += 3, o += 3) {
            o[0] = in[2];
            o[1] = in[1];
            o[2] = in[0];
        }
    }
    out = adoptPixels(pixels, header.width, header.height, 3);
    return true;
}

}  // namespace

Result readBmpHeader(const std::uint8_t* data, std::size_t size, BmpHeader& header)
{
    if (size < kFileHeader + 12)
        return Result::failure("the BMP file is truncated");
    const std::uint32_t infoSize = le32(data + 14);
    long long width = 0, height = 0;
    if (infoSize == 12) {
        width = le16(data + 18);
        height = le16(data + 20);
    } else {
        if (size < kFileHeader + 16)
            return Result::failure("the BMP file is truncated");
        width = static_cast<std::int32_t>(le32(data + 18));
        height = static_cast<std::int32_t>(le32(data + 22));
        if (height < 0)
            height = -height;  // rows stored top-down
    }
    if (width <= 0 || height <= 0 || width > std::numeric_limits<int>::max() ||
        height > std::numeric_limits<int>::max())
        return Result::failure("the BMP file's header gives an impossible size");
    header.width = static_cast<int>(width);
    header.height = static_cast<int>(height);
    return Result::success();
}

void prepareBmpReader()
{
    (void)QImageReader::supportedImageFormats();
}

Result decodeBmp(const std::uint8_t* data, std::size_t size, vips::VImage& out)
{
    // Qt pads a truncated file's missing rows instead of failing: check that the rows are
    // all there when their size is known (uncompressed pixels).
    BmpHeader header;
    if (auto r = readBmpHeader(data, size, header); !r)
        return r;
    const std::uint32_t infoSize = le32(data + 14);
    if (infoSize >= 40 && size >= kFileHeader + 20) {
        const std::uint32_t offset = le32(data + 10);
        const unsigned bits = le16(data + 28);
        const std::uint32_t compression = size >= kFileHeader + 20 ? le32(data + 30) : 0;
        if (compression == 0 || compression == 3) {
            const std::uint64_t stride = (std::uint64_t(header.width) * bits + 31) / 32 * 4;
            if (std::uint64_t(offset) + stride * std::uint64_t(header.height) > size)
                return Result::failure("the BMP file is truncated");
        }
    }
    if (decodePlainRgb(data, size, header, out))
        return Result::success();
    QImage image;
    {
        // QImageReader looks through Qt's image plugins before its own BMP reader; without a
        // QCoreApplication that lookup is not known to be safe on several threads at once
        // (prepareBmpReader loads the plugins up front). Few BMPs take this path, so one at
        // a time.
        static std::mutex qtReaders;
        std::lock_guard lock(qtReaders);
        QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "bmp");
        reader.setAutoTransform(false);
        image = reader.read();
        if (image.isNull()) {
            std::string why = reader.errorString().toStdString();
            return Result::failure("cannot decode the BMP file" + (why.empty() ? std::string() : ": " + why));
        }
    }
    const bool alpha = image.hasAlphaChannel();
    // Qt reads BMP files into 32-bit pixels (0xAARRGGBB), palette files into 8-bit indices,
    // which are expanded first.
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return Result::failure("not enough memory to decode the BMP file");
    const int bands = alpha ? 4 : 3;
    const int width = image.width(), height = image.height();
    const std::size_t rowBytes = std::size_t(width) * bands;
    const std::size_t lineBytes = std::size_t(image.bytesPerLine());
    // The rows are packed into the tight RGB(A) layout libvips takes inside Qt's own buffer:
    // every pixel moves to an offset no larger than its own, so reading a pixel before
    // writing it is safe. libvips then uses the buffer as it is, and frees the QImage when
    // the picture closes.
    auto* holder = new QImage(std::move(image));
    std::uint8_t* base = holder->bits();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* inRow = base + lineBytes * std::size_t(y);
        std::uint8_t* o = base + rowBytes * std::size_t(y);
        for (int x = 0; x < width; ++x, o += bands) {
            QRgb pixel;
            std::memcpy(&pixel, inRow + std::size_t(x) * 4, sizeof pixel);
            o[0] = std::uint8_t(qRed(pixel));
            o[1] = std::uint8_t(qGreen(pixel));
            o[2] = std::uint8_t(qBlue(pixel));
            if (alpha)
                o[3] = std::uint8_t(qAlpha(pixel));
        }
    }
    try {
        out = vips::VImage::new_from_memory(base, rowBytes * std::size_t(height), width, height, bands,
                                            VIPS_FORMAT_UCHAR);
    } catch (...) {
        delete holder;
        throw;
    }
    g_signal_connect(out.get_image(), "postclose",
                     G_CALLBACK(+[](VipsImage*, gpointer q) { delete static_cast<QImage*>(q); }), holder);
    out = out.copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    return Result::success();
}

Result encodeBmp(vips::VImage image, std::vector<std::uint8_t>& out)
{
    const int bands = image.bands();
    if (image.format() != VIPS_FORMAT_UCHAR || (bands != 1 && bands != 3))
        return Result::failure("internal error: BMP output needs 8-bit RGB");
    const std::size_t width = std::size_t(image.width()), height = std::size_t(image.height());
    const std::size_t stride = (width * 3 + 3) & ~std::size_t(3);
    const std::size_t total = kFileHeader + kInfoHeader + stride * height;
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF || total > 0xFFFFFFFFu)
        return Result::failure("the picture is too large for a BMP file");
    try {
        out.assign(total, 0);
    } catch (const std::bad_alloc&) {
        return Result::failure("not enough memory for the BMP file");
    }
    std::uint8_t* h = out.data();
    h[0] = 'B';
    h[1] = 'M';
    put32(h + 2, std::uint32_t(total));
    put32(h + 10, kFileHeader + kInfoHeader);
    put32(h + 14, kInfoHeader);
    put32(h + 18, std::uint32_t(width));
    put32(h + 22, std::uint32_t(height));
    put16(h + 26, 1);   // planes
    put16(h + 28, 24);  // bits per pixel
    put32(h + 30, 0);   // BI_RGB
    put32(h + 34, std::uint32_t(stride * height));
    put32(h + 38, kPixelsPerMetre);
    put32(h + 42, kPixelsPerMetre);
    Writer writer{h + kFileHeader + kInfoHeader, stride, int(height), bands};
    if (vips_sink_disc(image.get_image(), writeRows, &writer)) {
        out.clear();
        throw vips::VError();
    }
    return Result::success();
}

}  // namespace quarbel::imageservice
