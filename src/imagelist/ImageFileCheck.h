#pragma once
#include <QString>

namespace quarbel::imagelist {

// True when the name's last three characters are one of "bmp", "BMP", "jpg", "JPG", "png",
// "PNG", "gif", "GIF", "tif", "TIF", compared with case. No dot is needed in front of them
// (".jpeg", ".tiff" and ".Jpg" are rejected; "xbmp" and a file called "gif" are accepted).
// Names ending in the newer formats' suffixes (".webp", ".avif", ".heic", ".heif", ".jxl",
// ".svg", ".pdf"), in any letter case, are accepted too. The table of formats
// (formats/Formats.h) holds both lists.
bool ImageFileCheck(const QString& strFileName);

}  // namespace quarbel::imagelist
