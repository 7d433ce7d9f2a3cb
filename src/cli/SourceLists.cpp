#include "cli/SourceLists.h"

#include <QFile>
#include <cstdio>

namespace quarbel::cli {
namespace {

QString described(const QString& list)
{
    return list == QLatin1String("-") ? QStringLiteral("from standard input")
                                      : QStringLiteral("'%1'").arg(list);
}

}  // namespace

QStringList splitSourceList(const QByteArray& bytes, ListSeparator separator)
{
    const char end = separator == ListSeparator::Nul ? '\0' : '\n';
    QStringList paths;
    for (const QByteArray& entry : bytes.split(end)) {
        if (!entry.isEmpty())
            paths.append(QFile::decodeName(entry));
    }
    return paths;
}

std::optional<UsageError> addListedSources(BatchOptions& options)
{
    QStringList listed;
    for (const QString& list : options.sourceLists) {
        QFile file;
        bool opened = false;
        if (list == QLatin1String("-")) {
            opened = file.open(stdin, QIODevice::ReadOnly);
        } else {
            file.setFileName(list);
            opened = file.open(QIODevice::ReadOnly);
        }
        const QByteArray bytes = opened ? file.readAll() : QByteArray();
        if (!opened || file.error() != QFileDevice::NoError) {
            return UsageError{
                QStringLiteral("cannot read the file list %1: %2").arg(described(list), file.errorString())};
        }
        listed += splitSourceList(bytes, options.listSeparator);
    }
    options.sources += listed;
    return std::nullopt;
}

}  // namespace quarbel::cli
