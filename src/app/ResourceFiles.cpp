#include "app/ResourceFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerEmbeddedResources() { Q_INIT_RESOURCE(app); }

namespace quarbel::app {

void initResources()
{
    static const bool done = (registerEmbeddedResources(), true);
    (void)done;
}

namespace {

QStringList searchFolders()
{
    QStringList folders;
#ifdef QUARBEL_DATA_FROM_BIN
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath() + QStringLiteral("/" QUARBEL_DATA_FROM_BIN);
#endif
#ifdef QUARBEL_DATA_DIR
    folders << QStringLiteral(QUARBEL_DATA_DIR);
#endif
#ifdef QUARBEL_RESOURCE_DIR
    folders << QStringLiteral(QUARBEL_RESOURCE_DIR);
#endif
    return folders;
}

QString embedded(const QString& name)
{
    initResources();
    return QStringLiteral(":/quarbel/") + name;
}

}  // namespace

QString resourceFile(const QString& name)
{
    for (const QString& folder : searchFolders()) {
        const QFileInfo info(folder + u'/' + name);
        if (info.isFile() && info.isReadable())
            return info.absoluteFilePath();
    }
    return {};
}

QByteArray resourceData(const QString& name, QString* source)
{
    for (const QString& path : {resourceFile(name), embedded(name)}) {
        if (path.isEmpty())
            continue;
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            if (source)
                *source = path;
            return file.readAll();
        }
    }
    if (source)
        source->clear();
    return {};
}

QString resourceFileOnDisk(const QString& name)
{
    const QString onDisk = resourceFile(name);
    if (!onDisk.isEmpty())
        return onDisk;
    QFile packed(embedded(name));
    if (!packed.open(QIODevice::ReadOnly))
        return {};
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return {};
    const QString target = folder + u'/' + name;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(packed.readAll()) < 0 || !out.commit())
        return {};
    return target;
}

}  // namespace quarbel::app
