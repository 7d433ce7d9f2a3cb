#pragma once
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

namespace quarbel::imagelist {

// A picture decoded for the preview: small enough for the box, with the picture's own size.
struct Picture {
    QImage image;    // RGB, transparency already flattened on white
    QSize fullSize;  // the picture's pixel size as stored in the file
};

// Decodes the file at path, shrinking it while it loads so it fits in `box` (a 40-megapixel
// photo never becomes a full-size bitmap). Nothing when the file is missing, not an
// ordinary file, damaged or not a picture; no error reaches the caller.
std::optional<Picture> LoadPictureFile(const QString& path, QSize box);

// A canvas of size `box` filled with `background`, the picture drawn into it where
// DrawScaled puts a picture of `fullSize` (fitted, centred), smoothly scaled unless it
// already has the drawn size.
QImage FitPicture(const QImage& picture, QSize fullSize, QSize box, const QColor& background = Qt::white);

}  // namespace quarbel::imagelist
