#include "jobs/FileKeys.h"

#include "jobs/PathNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>

namespace quarbel::jobs {

namespace {

namespace fs = std::filesystem;

constexpr int kEntriesProbed = 64;

fs::path fsPath(const QString& path) { return fs::path(QFile::encodeName(path).toStdString()); }

bool oneFile(const fs::path& a, const fs::path& b)
{
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

}  // namespace

CaseRule probeCaseRule(const QString& folder)
{
    std::error_code error;
    const fs::path root = fsPath(folder);
    fs::directory_iterator entries(root, error);
    int seen = 0;
    for (; !error && entries != fs::directory_iterator() && seen < kEntriesProbed;
         entries.increment(error), ++seen) {
        const QString name =
            QFile::decodeName(QByteArray::fromStdString(entries->path().filename().string()));
        const QString upper = name.toUpper();
        const QString other = upper != name ? upper : name.toLower();
        if (other == name)
            continue;
        const fs::path otherPath = root / fsPath(other);
        std::error_code missing;
        if (!fs::exists(otherPath, missing))
            return CaseRule::Sensitive;
        if (oneFile(entries->path(), otherPath))
            return CaseRule::Insensitive;
        // Both open, as different files: two entries, or a file system whose inode numbers
        // follow the spelling (some FUSE ones). The listing tells.
        const QStringList all =
            QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        return all.contains(other) ? CaseRule::Sensitive : CaseRule::Insensitive;
    }
    return CaseRule::Unknown;
}

const FileKeys::Folder& FileKeys::folder(const QString& path)
{
    auto found = m_folders.find(path);
    if (found == m_folders.end())
        found = m_folders.insert(path, Folder{normalisedFolder(path), CaseRule::Unknown});
    if (found->rule == CaseRule::Unknown)
        found->rule = m_probe(found->normalised);
    return *found;
}

QStringList FileKeys::nameKeys(const QString& path)
{
    const QFileInfo info(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
    const Folder& where = folder(info.absolutePath());
    QString prefix = where.normalised;
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    QStringList keys{QStringLiteral("name:") + prefix + info.fileName()};
    if (where.rule != CaseRule::Sensitive)
        keys.append(QStringLiteral("folded:") + prefix + info.fileName().toCaseFolded());
    return keys;
}

QStringList FileKeys::sourceKeys(const QString& path)
{
    QStringList keys = nameKeys(path);
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.canonicalFilePath();
        if (!target.isEmpty())
            for (const QString& key : nameKeys(target))
                if (!keys.contains(key))
                    keys.append(key);
    }
    return keys;
}

bool FileKeys::sameFile(const QString& a, const QStringList& aKeys, const QString& b,
                        const QStringList& bKeys)
{
    return std::any_of(aKeys.begin(), aKeys.end(),
                       [&bKeys](const QString& key) { return bKeys.contains(key); }) ||
           oneFile(fsPath(a), fsPath(b));
}

bool FileKeys::rewrites(const QString& written, const QStringList& writtenKeys, const QString& source,
                        const QStringList& sourceKeys)
{
    if (std::any_of(writtenKeys.begin(), writtenKeys.end(),
                    [&sourceKeys](const QString& key) { return sourceKeys.contains(key); }))
        return true;
    const auto nameOf = [](const QString& path) { return QStringView(path).mid(path.lastIndexOf(u'/') + 1); };
    return nameOf(written).compare(nameOf(source), Qt::CaseInsensitive) == 0 &&
           oneFile(fsPath(written), fsPath(source));
}

}  // namespace quarbel::jobs
