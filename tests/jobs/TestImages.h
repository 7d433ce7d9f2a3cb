#pragma once
// Real image files for the job tests: written with Qt (PNG, JPEG, BMP) or libvips (GIF,
// TIFF), and read back by their own bytes and decoders, independently of the Image Service.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace quarbel::testing {

enum class Kind { Png, Jpeg, Bmp, Gif, Tiff, Unknown };

// Writes a width x height picture (a colour gradient) in the given format.
void writeImage(const QString& path, int width, int height, Kind kind);
// The kind a path's extension names (".png" -> Png, ".jpg" -> Jpeg, ".tif"/".tiff" -> Tiff...).
Kind kindOfName(const QString& path);

struct ImageFacts {
    Kind kind = Kind::Unknown;  // from the file's first bytes
    int width = 0;
    int height = 0;
};
ImageFacts readImage(const QString& path);

// A temporary folder tree that the tests fill with folders and pictures.
struct TempTree {
    QTemporaryDir temp;

    QString path(const QString& relative) const { return temp.path() + "/" + relative; }
    // Creates the folder (and its parents) and returns its path.
    QString folder(const QString& relative) const;
    // Writes a picture of the kind its extension names, creating its folders.
    QString image(const QString& relative, int width, int height) const;
};

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

}  // namespace quarbel::testing
