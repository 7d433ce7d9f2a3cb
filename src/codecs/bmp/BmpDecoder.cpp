#include "codecs/bmp/Bmp.h"

#include "codecs/ByteOrder.h"
#include "codecs/Failure.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>

namespace quarbel::codecs::bmp {

namespace {

constexpr std::size_t kFileHeader = 14, kCoreHeader = 12, kInfoHeader = 40;

// Qt pads a truncated file's missing rows instead of failing: check that the rows are all
// there when their size is known (uncompressed pixels), whatever the header's kind. The
// 12-byte OS/2 header keeps the bit count at 24 and has no compression field.
void checkRowsPresent(const std::uint8_t* data, std::size_t size, const Header& header)
{
    const bool core = load32le(data + 14) == kCoreHeader;
    const std::size_t bitsAt = core ? 24 : 28, compressionAt = 30;
    if (size < bitsAt + 2)
        throw Failure("the BMP file is truncated");
    const unsigned bits = load16le(data + bitsAt);
    const std::uint32_t compression = !core && size >= compressionAt + 4 ? load32le(data + compressionAt) : 0;
    if (compression != 0 && compression != 3)
        return;  // run-length coded: the rows' size is known only once they are decoded
    const std::uint64_t stride = (std::uint64_t(header.width) * bits + 31) / 32 * 4;
    if (std::uint64_t(load32le(data + 10)) + stride * std::uint64_t(header.height) > size)
        throw Failure("the BMP file is truncated");
}

// Uncompressed 24-bit files are unpacked here in one pass; Qt's reader goes through 32-bit
// pixels and needs a second pass to pack them. False when the file is of another kind.
bool decodePlainRgb(const std::uint8_t* data, std::size_t size, const Header& header, Decoded& out)
{
    if (size < kFileHeader + kInfoHeader || load32le(data + 14) < kInfoHeader || load16le(data + 26) != 1 ||
        load16le(data + 28) != 24 || load32le(data + 30) != 0)
        return false;
    const bool topDown = static_cast<std::int32_t>(load32le(data + 22)) < 0;
    const std::size_t width = std::size_t(header.width), height = std::size_t(header.height);
    const std::size_t stride = (width * 3 + 3) & ~std::size_t(3);
    const std::size_t offset = load32le(data + 10);
    if (offset > size || (size - offset) / stride < height)
        return false;
    std::shared_ptr<std::uint8_t> pixels(static_cast<std::uint8_t*>(std::malloc(width * height * 3)),
                                         &std::free);
    if (!pixels)
        throw Failure("not enough memory to decode the BMP file");
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* in = data + offset + stride * (topDown ? y : height - 1 - y);
        std::uint8_t* o = pixels.get() + width * 3 * y;
        for (std::size_t x = 0; x < width; ++x, in += 3, o += 3) {
            o[0] = in[2];
            o[1] = in[1];
            o[2] = in[0];
        }
    }
    out.pixels = tightView(pixels.get(), header.width, header.height, 3);
    out.owner = std::move(pixels);
    return true;
}

// Every other kind, through Qt's reader.
Decoded decodeWithQt(const std::uint8_t* data, std::size_t size)
{
    QImage image;
    {
        // QImageReader looks through Qt's image plugins before its own BMP reader; without a
        // QCoreApplication that lookup is not known to be safe on several threads at once
        // (prepareReader loads the plugins up front). Few BMPs take this path, so one at
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
            throw Failure("cannot decode the BMP file" + (why.empty() ? std::string() : ": " + why));
        }
    }
    const bool alpha = image.hasAlphaChannel();
    // Qt reads BMP files into 32-bit pixels (0xAARRGGBB), palette files into 8-bit indices,
    // which are expanded first.
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        throw Failure("not enough memory to decode the BMP file");
    const int bands = alpha ? 4 : 3;
    const int width = image.width(), height = image.height();
    const std::size_t rowBytes = std::size_t(width) * bands;
    const std::size_t lineBytes = std::size_t(image.bytesPerLine());
    // The rows are packed into the tight RGB(A) layout inside Qt's own buffer: every pixel
    // moves to an offset no larger than its own, so reading a pixel before writing it is
    // safe. The QImage then stays as the pixels' owner.
    auto holder = std::make_shared<QImage>(std::move(image));
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
    Decoded out;
    out.pixels = tightView(base, width, height, bands);
    out.owner = std::move(holder);
    return out;
}

}  // namespace

Header readHeader(const std::uint8_t* data, std::size_t size)
{
    if (size < kFileHeader + 12)
        throw Failure("the BMP file is truncated");
    const std::uint32_t infoSize = load32le(data + 14);
    long long width = 0, height = 0;
    if (infoSize == kCoreHeader) {
        // Signed, as Qt's reader takes them: both readers must agree on the size.
        width = static_cast<std::int16_t>(load16le(data + 18));
        height = static_cast<std::int16_t>(load16le(data + 20));
        if (height < 0)
            height = -height;
    } else {
        if (size < kFileHeader + 16)
            throw Failure("the BMP file is truncated");
        width = static_cast<std::int32_t>(load32le(data + 18));
        height = static_cast<std::int32_t>(load32le(data + 22));
        if (height < 0)
            height = -height;  // rows stored top-down
    }
    if (width <= 0 || height <= 0 || width > std::numeric_limits<int>::max() ||
        height > std::numeric_limits<int>::max())
        throw Failure("the BMP file's header gives an impossible size");
    return Header{static_cast<int>(width), static_cast<int>(height)};
}

void prepareReader() { (void)QImageReader::supportedImageFormats(); }

Decoded decode(const std::uint8_t* data, std::size_t size)
{
    const Header header = readHeader(data, size);
    checkRowsPresent(data, size, header);
    Decoded out;
    if (decodePlainRgb(data, size, header, out))
        return out;
    out = decodeWithQt(data, size);
    // Everything downstream sizes the picture from the header: a reader that saw another
    // size must not hand over its picture to be stretched into that one.
    if (out.pixels.width != header.width || out.pixels.height != header.height)
        throw Failure("the BMP file's header gives " + std::to_string(header.width) + " x " +
                      std::to_string(header.height) + " pixels, but its pixels make " +
                      std::to_string(out.pixels.width) + " x " + std::to_string(out.pixels.height));
    return out;
}

}  // namespace quarbel::codecs::bmp
