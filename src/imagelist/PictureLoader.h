#pragma once
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

namespace quarbel::platform::sandbox {
class Cancellation;
}

namespace quarbel::imagelist {

// A picture decoded for the preview: small enough for the box, with the picture's own size.
struct Picture {
    QImage image;    // RGB, transparency already flattened on white
    QSize fullSize;  // the picture's pixel size as stored in the file
};

// A preview's decode: the picture, or why there is none.
struct PreviewOutcome {
    PreviewOutcome() = default;
    PreviewOutcome(std::optional<Picture> p) : picture(std::move(p)) {}
    static PreviewOutcome failure(QString why)
    {
        PreviewOutcome outcome;
        outcome.reason = std::move(why);
        return outcome;
    }
    explicit operator bool() const { return picture.has_value(); }
    const Picture* operator->() const { return &*picture; }
    const Picture& operator*() const { return *picture; }

    std::optional<Picture> picture;
    QString reason;  // for people, when there is no picture
};

// Decodes the file at path in a worker process (PreviewWorkers.h), shrinking it while it
// loads so it fits in `box` (a 40-megapixel photo never becomes a full-size bitmap).
// Nothing, with the reason, when the file is missing, not an ordinary file, damaged or not
// a picture, when the decoder fails in any way, or when cancel is cancelled; no error
// reaches the caller otherwise.
PreviewOutcome decodePreviewFile(const QString& path, QSize box,
                                 platform::sandbox::Cancellation* cancel = nullptr);
std::optional<Picture> LoadPictureFile(const QString& path, QSize box);

// The picture's own size from the beginning of the file at path, read in a worker process.
std::optional<QSize> readPictureSize(const QString& path, platform::sandbox::Cancellation* cancel = nullptr);

// A canvas of size `box` filled with `background`, the picture drawn into it where
// DrawScaled puts a picture of `fullSize` (fitted, centred), smoothly scaled unless it
// already has the drawn size.
QImage FitPicture(const QImage& picture, QSize fullSize, QSize box, const QColor& background = Qt::white);

}  // namespace quarbel::imagelist
