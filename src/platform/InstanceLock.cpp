#include "platform/InstanceLock.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace quarbel::platform {

namespace {

QString lockFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::tempPath();
    return folder;
}

QString sanitisedKey(QString key)
{
    if (key.isEmpty())
        key = qEnvironmentVariable("QUARBEL_INSTANCE_KEY");
    if (key.isEmpty())
        key = QStringLiteral("quarbel");
    // The key becomes a file name: keep it to one harmless path component.
    for (QChar& c : key) {
        if (!(c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'.'))
            c = u'_';
    }
    return key;
}

}  // namespace

FileInstanceLock::FileInstanceLock(QString key)
    : m_path(lockFolder() + QStringLiteral("/") + sanitisedKey(std::move(key)) +
             QStringLiteral(".instance.lock"))
{}

FileInstanceLock::~FileInstanceLock() = default;

bool FileInstanceLock::acquire()
{
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(m_path);
    // A running instance keeps its lock however long it runs; only a lock whose process is
    // gone counts as stale.
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

}  // namespace quarbel::platform
