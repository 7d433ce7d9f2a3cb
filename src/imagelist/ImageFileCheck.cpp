#include "imagelist/ImageFileCheck.h"

#include <array>

namespace quarbel::imagelist {

bool ImageFileCheck(const QString& strFileName)
{
    static const std::array<QString, 10> endings = {
        QStringLiteral("bmp"), QStringLiteral("BMP"), QStringLiteral("jpg"), QStringLiteral("JPG"),
        QStringLiteral("png"), QStringLiteral("PNG"), QStringLiteral("gif"), QStringLiteral("GIF"),
        QStringLiteral("tif"), QStringLiteral("TIF")};
    const QString last = strFileName.right(3);
    for (const QString& ending : endings)
        if (last == ending)
            return true;
    return false;
}

}  // namespace quarbel::imagelist
