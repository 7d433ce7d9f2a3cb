#pragma once
// Packs a list of files into a new archive in one call: entries in the given order, each
// stored under its file name without folders, with an archive comment.

#include "zip/ZipResult.h"

#include <QString>
#include <QStringList>

namespace quarbel::zip {

// Fails without writing the archive when a file cannot be added (the reason names it), when
// the list is empty, or when the archive cannot be written; an existing archive is replaced
// only by a complete new one (and never with Overwrite::Refuse).
Result packFiles(const QStringList& files, const QString& archive, const QString& comment,
                 Overwrite overwrite = Overwrite::Replace);

}  // namespace quarbel::zip
