#pragma once
// The path operations of the jobs. The separator is the native "/"; paths are texts exactly
// as the front end holds them (no cleaning), so that an output path is the destination text,
// one "/" and the output name, also when the text already ends with a separator.

#include <QString>
#include <QStringList>

namespace quarbel::jobs {

// The last component of a path ("/a/b.c.gif" -> "b.c.gif").
QString fileName(const QString& path);

// The last component without its last dot and what follows ("/a/b.c.gif" -> "b.c",
// "/a/noext" -> "noext").
QString baseName(const QString& path);

// destination + "/" + name; the separator is always added.
QString outputPath(const QString& destination, const QString& name);

// An absolute, clean spelling of a path with its folder resolved through links where it
// exists, so that two spellings of one file compare equal ("d//a.jpg", "d/./a.jpg",
// "/link-to-d/a.jpg"). The file itself need not exist.
QString normalisedPath(const QString& path);

// The normalised spelling of a folder: normalisedPath(outputPath(folder, name)) is this
// followed by "/" and the name (no second "/" after the root) for a plain file name.
QString normalisedFolder(const QString& folder);

}  // namespace quarbel::jobs
