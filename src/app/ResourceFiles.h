#pragma once
// The program's data files (the window layout, the help page, pictures): the installed copy
// next to the executable, the build's configured data folder, or the source tree; each is
// also embedded in the program, so a missing file never stops it.

#include <QByteArray>
#include <QString>

namespace quarbel::app {

// Registers the embedded copies (the library is static, so this is done on first use).
void initResources();

// The path of a data file on disk, or an empty string when there is none.
QString resourceFile(const QString& name);

// A data file's contents: the disk copy, else the embedded one. source tells which was used.
QByteArray resourceData(const QString& name, QString* source = nullptr);

// A path on disk for a data file that another program must open (the help page for the
// browser): the disk copy, else the embedded copy written to the user's cache folder.
// Empty when neither can be had.
QString resourceFileOnDisk(const QString& name);

}  // namespace quarbel::app
