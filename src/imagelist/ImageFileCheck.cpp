#include "imagelist/ImageFileCheck.h"

#include <array>

namespace quarbel::imagelist {

bool ImageFileCheck(const QString& strFileName)
{
    static const std::array<QString, 10> endings = {
        QStringLiteral("bmp"), QStringLiteral("BMP"), QStringLiteral("jpg"), QStringLiteral("JPG"),
        QStringLiteral("png"), QStringLiteral("PNG"), QStringLiteral("gif"), QStringLiteral("GIF"),
        QStringLiteral("tif"), QStringLiteral("TIF")};
    static const std::array<QString, 4> newerEndings = {QStringLiteral(".webp"), QStringLiteral(".avif"),
                                                        QStringLiteral(".heic"), QStringLiteral(".heif")};
    const QString last = strFileName.right(3);
    for (const QString& ending : endings)
        if (last == ending)
            return true;
    for (const QString& ending : newerEndings)
        if (strFileName.endsWith(ending, Qt::CaseInsensitive))
            return true;
    return false;
}

}  // namespace quarbel::imagelist
