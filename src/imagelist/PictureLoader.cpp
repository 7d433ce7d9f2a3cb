#include "imagelist/PictureLoader.h"

#include "imagelist/Paths.h"
#include "imagelist/Placement.h"
#include "jobs/imageservice/ImageService.h"

#include <QFile>
#include <QPainter>
#include <cstring>

namespace quarbel::imagelist {

std::optional<Picture> LoadPictureFile(const QString& path, QSize box)
{
    // Only ordinary files are read: a pipe or device named like a picture would never end.
    if (box.isEmpty() || !fileExists(path))
        return std::nullopt;
    const auto decoded =
        imageservice::decodePreview(QFile::encodeName(path).toStdString(), box.width(), box.height());
    if (!decoded.result || decoded.width <= 0 || decoded.height <= 0 || decoded.fullWidth <= 0 ||
        decoded.fullHeight <= 0)
        return std::nullopt;
    const qsizetype rowBytes = qsizetype(decoded.width) * 3;
    if (qsizetype(decoded.rgb.size()) < rowBytes * decoded.height)
        return std::nullopt;
    QImage image(decoded.width, decoded.height, QImage::Format_RGB888);
    if (image.isNull())
        return std::nullopt;
    for (int y = 0; y < decoded.height; ++y)
        std::memcpy(image.scanLine(y), decoded.rgb.data() + y * rowBytes, size_t(rowBytes));
    return Picture{image, QSize(decoded.fullWidth, decoded.fullHeight)};
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
