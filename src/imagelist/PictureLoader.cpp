#include "imagelist/PictureLoader.h"

#include "imagelist/Paths.h"
#include "imagelist/Placement.h"
#include "imagelist/PreviewWorkers.h"

#include <QPainter>

namespace quarbel::imagelist {

PreviewOutcome decodePreviewFile(const QString& path, QSize box, platform::sandbox::Cancellation* cancel)
{
    // Only ordinary files are read: a pipe or device named like a picture would never end.
    if (box.isEmpty())
        return PreviewOutcome::failure(QStringLiteral("the preview box is empty"));
    if (!fileExists(path))
        return PreviewOutcome::failure(QStringLiteral("the file is missing or not an ordinary file"));
    return PreviewWorkers::shared().decode(path, box, cancel);
}

std::optional<Picture> LoadPictureFile(const QString& path, QSize box)
{
    return decodePreviewFile(path, box).picture;
}

std::optional<QSize> readPictureSize(const QString& path, platform::sandbox::Cancellation* cancel)
{
    if (!fileExists(path))
        return std::nullopt;
    return PreviewWorkers::shared().readSize(path, cancel);
}

QImage FitPicture(const QImage& picture, QSize fullSize, QSize box, const QColor& background)
{
    if (box.isEmpty())
        return {};
    QImage canvas(box, QImage::Format_RGB32);
    canvas.fill(background);
    const QRect target = DrawScaled(fullSize, box, AspectRatio::Keep);
    if (picture.isNull() || target.isEmpty())
        return canvas;
    QPainter painter(&canvas);
    if (picture.size() == target.size()) {
        painter.drawImage(target.topLeft(), picture);  // already the drawn size: every pixel kept
        return canvas;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    return canvas;
}

}  // namespace quarbel::imagelist
