// libvips (through glib) must come before Qt, whose "signals" keyword clashes with glib.
#include <vips/vips8>

#include "TestImages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <stdexcept>

namespace quarbel::testing {
namespace {

QImage gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y,
                           qRgb(x * 255 / std::max(1, width - 1), y * 255 / std::max(1, height - 1), 128));
        }
    }
    return image;
}

void writeWithVips(const QImage& image, const QString& path)
{
    if (VIPS_INIT("quarbel-tests"))
        throw std::runtime_error("libvips did not start");
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<unsigned char> pixels;
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* row = rgb.constScanLine(y);
        pixels.insert(pixels.end(), row, row + rgb.width() * 3);
    }
    vips::VImage picture = vips::VImage::new_from_memory(pixels.data(), pixels.size(), rgb.width(),
                                                         rgb.height(), 3, VIPS_FORMAT_UCHAR);
    picture.write_to_file(QFile::encodeName(path).constData());
}

}  // namespace

Kind kindOfName(const QString& path)
{
    const QString lower = path.toLower();
    if (lower.endsWith(".png"))
        return Kind::Png;
    if (lower.endsWith(".jpg") || lower.endsWith(".jpeg"))
        return Kind::Jpeg;
    if (lower.endsWith(".bmp"))
        return Kind::Bmp;
    if (lower.endsWith(".gif"))
        return Kind::Gif;
    if (lower.endsWith(".tif") || lower.endsWith(".tiff"))
        return Kind::Tiff;
    return Kind::Unknown;
}

void writeImage(const QString& path, int width, int height, Kind kind)
{
    const QImage image = gradient(width, height);
    bool ok = true;
    switch (kind) {
    case Kind::Png: ok = image.save(path, "PNG"); break;
    case Kind::Jpeg: ok = image.save(path, "JPEG", 95); break;
    case Kind::Bmp: ok = image.save(path, "BMP"); break;
    case Kind::Gif:
    case Kind::Tiff: {
        // libvips picks the saver from the extension; write under one it knows, then rename.
        const QString temporary = path + (kind == Kind::Gif ? ".tmp.gif" : ".tmp.tif");
        writeWithVips(image, temporary);
        QFile::remove(path);
        ok = QFile::rename(temporary, path);
        break;
    }
    case Kind::Unknown: ok = false; break;
    }
    if (!ok)
        throw std::runtime_error("could not write test image " + path.toStdString());
}

ImageFacts readImage(const QString& path)
{
    ImageFacts facts;
    const QByteArray head = readBytes(path).left(8);
    if (head.startsWith("\x89PNG"))
        facts.kind = Kind::Png;
    else if (head.startsWith("\xFF\xD8\xFF"))
        facts.kind = Kind::Jpeg;
    else if (head.startsWith("BM"))
        facts.kind = Kind::Bmp;
    else if (head.startsWith("GIF8"))
        facts.kind = Kind::Gif;
    else if (head.startsWith("II*") || head.startsWith("MM\0*"))
        facts.kind = Kind::Tiff;
    if (facts.kind == Kind::Unknown)
        return facts;

    if (facts.kind == Kind::Tiff) {
        if (VIPS_INIT("quarbel-tests"))
            return facts;
        try {
            const vips::VImage image = vips::VImage::new_from_file(QFile::encodeName(path).constData());
            facts.width = image.width();
            facts.height = image.height();
        } catch (const vips::VError&) {
        }
        return facts;
    }
    QImageReader reader(path);
    const QImage image = reader.read();
    facts.width = image.width();
    facts.height = image.height();
    return facts;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("could not write " + path.toStdString());
}

QString TempTree::folder(const QString& relative) const
{
    QDir().mkpath(path(relative));
    return path(relative);
}

QString TempTree::image(const QString& relative, int width, int height) const
{
    QDir().mkpath(QFileInfo(path(relative)).absolutePath());
    writeImage(path(relative), width, height, kindOfName(relative));
    return path(relative);
}

}  // namespace quarbel::testing
