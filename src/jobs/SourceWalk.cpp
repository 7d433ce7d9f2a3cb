#include "jobs/SourceWalk.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace quarbel::jobs {
namespace {

void sortInListingOrder(QStringList& names) {
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}

QStringList entryNames(const QString& folder, QDir::Filters filters) {
    QDir dir(folder);
    if (!dir.exists()) return {};
    QStringList names = dir.entryList(filters | QDir::NoDotAndDotDot, QDir::NoSort);
    sortInListingOrder(names);
    return names;
}

bool matchesFileSpec(const QString& name, const QString& spec) {
    if (spec == QLatin1String("*.*") || spec == QLatin1String("*")) return true;
    const QRegularExpression pattern(QRegularExpression::wildcardToRegularExpression(spec),
                                     QRegularExpression::CaseInsensitiveOption);
    return pattern.match(name).hasMatch();
}

void walk(QStringList& colFiles, const QString& strFolder, const QString& strFileSpec,
          SubFolders subFolders, QSet<QString>& visited) {
    const QString canonical = QFileInfo(strFolder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical)) return;
    visited.insert(canonical);

    const QString prefix = TrailingSlash(strFolder);
    for (const QString& name : entryNames(strFolder, QDir::Files)) {
        if (matchesFileSpec(name, strFileSpec)) colFiles.append(prefix + name);
    }
    if (subFolders == SubFolders::Exclude) return;
    for (const QString& name : entryNames(strFolder, QDir::Dirs)) {
        walk(colFiles, prefix + name, strFileSpec, subFolders, visited);
    }
}

}  // namespace

bool ImageFileCheck(const QString& strFileName) {
    static const QStringList endings = {"bmp", "BMP", "jpg", "JPG", "png",
                                        "PNG", "gif", "GIF", "tif", "TIF"};
    return endings.contains(strFileName.right(3), Qt::CaseSensitive);
}

QString TrailingSlash(const QString& strFolder) {
    if (strFolder.isEmpty() || strFolder.endsWith(QLatin1Char('/'))) return strFolder;
    return strFolder + QLatin1Char('/');
}

QStringList folderFiles(const QString& folder) {
    return entryNames(folder, QDir::Files | QDir::Hidden);
}

void RecursiveDir(QStringList& colFiles, const QString& strFolder, const QString& strFileSpec,
                  SubFolders bIncludeSubfolders) {
    QSet<QString> visited;
    walk(colFiles, strFolder, strFileSpec, bIncludeSubfolders, visited);
}

QStringList folderImages(const QString& folderText, SubFolders subFolders) {
    QStringList candidates;
    if (subFolders == SubFolders::Include) {
        RecursiveDir(candidates, folderText, QStringLiteral("*.*"), SubFolders::Include);
    } else {
        const QString prefix = folderText + QLatin1Char('/');
        for (const QString& name : folderFiles(folderText)) candidates.append(prefix + name);
    }
    QStringList images;
    for (const QString& path : candidates) {
        if (ImageFileCheck(path)) images.append(path);
    }
    return images;
}

}  // namespace quarbel::jobs
