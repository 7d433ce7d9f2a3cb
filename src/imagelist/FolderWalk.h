#pragma once
#include <QString>
#include <QStringList>
#include <functional>

namespace quarbel::imagelist {

enum class Subfolders { Exclude, Include };

// Called now and then during a long walk with the number of directory entries looked at
// so far, so the window can show that it is busy and repaint.
using WalkProgress = std::function<void(qsizetype entriesSeen)>;

// How often (in directory entries) a walk reports progress.
inline constexpr qsizetype walkProgressStep = 256;

// The names of a folder's files in the folder's listing order (case-insensitive by name,
// ties by the exact name), hidden files included; directories and special files (pipes,
// sockets, devices) are left out. An unreadable or missing folder gives what could be read.
QStringList folderFiles(const QString& folder, const WalkProgress& progress = {});

// Does a file name match a wildcard pattern ("*", "?", case-insensitive)? "*.*" and "*"
// match every name, also one without a dot.
bool matchesFileSpec(const QString& name, const QString& strFileSpec);

// Appends to colFiles the full paths of the ordinary files of strFolder that match
// strFileSpec, in the folder's listing order; hidden files (leading ".") are skipped. With
// Subfolders::Include it then walks each non-hidden sub-folder in listing order the same
// way, so a folder's own files come before those of its sub-folders (depth first,
// pre-order). Paths are the folder with one "/" between the parts (a root "/" gives
// "/name.jpg"). A folder that cannot be read ends its own part of the walk quietly; what was
// found stays. A folder reached a second time through a link is not walked again, so a link
// loop cannot make the walk endless.
void RecursiveDir(QStringList& colFiles, const QString& strFolder, const QString& strFileSpec,
                  Subfolders bIncludeSubfolders, const WalkProgress& progress = {});

}  // namespace quarbel::imagelist
