#pragma once
#include <QString>

namespace quarbel::imagelist {

// True when the name's last three characters are one of "bmp", "BMP", "jpg", "JPG", "png",
// "PNG", "gif", "GIF", "tif", "TIF", compared with case. No dot is needed in front of them
// (".jpeg", ".tiff" and ".Jpg" are rejected; "xbmp" and a file called "gif" are accepted).
// Names ending in ".webp", ".avif", ".heic" or ".heif", in any letter case, are accepted too.
bool ImageFileCheck(const QString& strFileName);

}  // namespace quarbel::imagelist
