#include "jobs/PathNames.h"

#include <QDir>
#include <QFileInfo>

namespace quarbel::jobs {

QString fileName(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString baseName(const QString& path) {
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString outputPath(const QString& destination, const QString& name) {
    return destination + QLatin1Char('/') + name;
}

QString normalisedPath(const QString& path) {
    const QFileInfo info(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
    const QString folder = info.absolutePath();
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    return (canonicalFolder.isEmpty() ? folder : canonicalFolder) + QLatin1Char('/') +
           info.fileName();
}

}  // namespace quarbel::jobs
