#pragma once
// Which files a source folder contributes to the image list, and in what order: the folder's
// own files in its listing order (a stable, case-insensitive name order), then, when
// sub-folders are included, each sub-folder in turn, depth first. Used by quarbel-batch; the
// window's image list follows the same rules.

#include <QString>
#include <QStringList>

namespace quarbel::jobs {

enum class SubFolders { Exclude, Include };

// True when the name's last three characters (the whole name when shorter) are one of
// "bmp", "BMP", "jpg", "JPG", "png", "PNG", "gif", "GIF", "tif", "TIF", compared with case.
bool ImageFileCheck(const QString& strFileName);

// strFolder with one "/" appended unless it already ends with one; "" stays "".
QString TrailingSlash(const QString& strFolder);

// The names of a folder's ordinary files (links to files included; folders, pipes, sockets
// and devices left out), hidden ones included, in listing order: case-insensitive by name,
// ties by the exact name. A missing or unreadable folder gives nothing.
QStringList folderFiles(const QString& folder);

// Appends to colFiles TrailingSlash(strFolder) + name for each non-hidden ordinary file of
// the folder that matches strFileSpec ("*.*" and "*" match every name), in listing order;
// then, with bIncludeSubfolders, walks each non-hidden sub-folder the same way in listing
// order (depth first, pre-order). A folder met again through a link is not walked twice.
void RecursiveDir(QStringList& colFiles, const QString& strFolder, const QString& strFileSpec,
                  SubFolders bIncludeSubfolders);

// The image files a source folder adds, as the Multiple-mode add collects them. Without
// sub-folders: folderText + "/" + name for each of folderFiles (hidden included; the
// separator is always added, so a root "/" gives "//name.jpg"). With sub-folders: the
// RecursiveDir walk of the folder with pattern "*.*". Either way only names that
// ImageFileCheck accepts.
QStringList folderImages(const QString& folderText, SubFolders subFolders);

}  // namespace quarbel::jobs
