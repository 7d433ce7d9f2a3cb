#pragma once
// The files that a file manager put on the clipboard with its Copy (or Cut) command.

#include <QStringList>

class QMimeData;

namespace quarbel::platform {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Local paths of the copied files, in their order; empty when the clipboard holds none.
    virtual QStringList localFiles() const = 0;
};

class QtClipboard : public Clipboard {
public:
    QStringList localFiles() const override;
};

// Local file paths from mime data: the URL list (text/uri-list) when it names local files,
// otherwise the GNOME-style "x-special/gnome-copied-files" list ("copy" or "cut", then one
// URL a line). Non-local URLs are skipped.
QStringList localFilesFromMime(const QMimeData* data);

}  // namespace quarbel::platform
