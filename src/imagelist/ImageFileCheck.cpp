#include "imagelist/ImageFileCheck.h"

#include "formats/Formats.h"

namespace quarbel::imagelist {

bool ImageFileCheck(const QString& strFileName) { return formats::acceptsName(strFileName.toStdString()); }

}  // namespace quarbel::imagelist
