#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace quarbel::platform {

namespace {

const QString kGnomeCopiedFiles = QStringLiteral("x-special/gnome-copied-files");

void appendLocal(QStringList& paths, const QUrl& url)
{
    if (url.isLocalFile() && !url.toLocalFile().isEmpty())
        paths << url.toLocalFile();
}

}  // namespace

QStringList localFilesFromMime(const QMimeData* data)
{
    QStringList paths;
    if (!data)
        return paths;
    if (data->hasUrls()) {
        for (const QUrl& url : data->urls())
            appendLocal(paths, url);
        if (!paths.isEmpty())
            return paths;
    }
    if (data->hasFormat(kGnomeCopiedFiles)) {
        const QStringList lines =
            QString::fromUtf8(data->data(kGnomeCopiedFiles)).split(u'\n', Qt::SkipEmptyParts);
        // The first line is the operation ("copy" or "cut").
        for (qsizetype i = 1; i < lines.size(); ++i)
            appendLocal(paths, QUrl(lines[i].trimmed()));
    }
    return paths;
}

QStringList QtClipboard::localFiles() const
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? localFilesFromMime(clipboard->mimeData()) : QStringList();
}

}  // namespace quarbel::platform
