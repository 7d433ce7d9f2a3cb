#pragma once
#include "imagelist/FolderWalk.h"

#include <QString>
#include <QStringList>

namespace quarbel::imagelist {

// The image paths a picked or dropped folder contributes, in list order. Without
// sub-folders: every file of the folder (hidden ones included) whose path, formed as the
// folder, one "/" and the name, ImageFileCheck accepts. With sub-folders: the accepted
// paths of RecursiveDir(folder, "*.*"), which skips hidden files and folders. A missing
// folder gives nothing.
QStringList folderImages(const QString& folder, Subfolders subfolders, const WalkProgress& progress = {});

// The paths a drop adds, in order: for each dropped name, the images of it if it is a
// folder, then the name itself if it is an existing file that ImageFileCheck accepts.
// Names that no longer exist, and files that are not accepted, add nothing.
QStringList droppedImages(const QStringList& names, Subfolders subfolders, const WalkProgress& progress = {});

// The paths a Paste adds: the names ImageFileCheck accepts, in order, without looking at
// the file system (a missing file is still added, a folder only if its name is accepted).
QStringList pastedImages(const QStringList& names);

// The first name ImageFileCheck accepts, or "" (what decides whether the list's menu
// offers Paste).
QString firstAcceptedName(const QStringList& names);

}  // namespace quarbel::imagelist
