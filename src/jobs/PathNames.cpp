#include "jobs/PathNames.h"

#include <QDir>
#include <QFileInfo>

namespace quarbel::jobs {

QString fileName(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }

QString baseName(const QString& path)
{
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString outputPath(const QString& destination, const QString& name)
{
    return destination + QLatin1Char('/') + name;
}

QString normalisedFolder(const QString& folder)
{
    const QString clean = QDir::cleanPath(QDir::current().absoluteFilePath(folder));
    const QString canonical = QFileInfo(clean).canonicalFilePath();
    return canonical.isEmpty() ? clean : canonical;
}

QString normalisedPath(const QString& path)
{
    const QFileInfo info(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
    QString folder = normalisedFolder(info.absolutePath());
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + info.fileName();
}

}  // namespace quarbel::jobs
