#include "cli/ZipOutput.h"

#include "zip/PackFiles.h"

#include <QDir>
#include <QFileInfo>

namespace quarbel::cli {
namespace {

void print(std::FILE* stream, const QString& text)
{
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

}  // namespace

QString checkArchivePath(const QString& path)
{
    if (path.isEmpty())
        return QStringLiteral("option '--zip' needs an archive path");
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("the archive '%1' is a folder").arg(path);
    if (!info.absoluteDir().exists())
        return QStringLiteral("the archive's folder '%1' does not exist").arg(info.absolutePath());
    return {};
}

int writeRunArchive(const QString& archive, const jobs::JobSummary& summary, int status, std::FILE* out,
                    std::FILE* err)
{
    switch (summary.end) {
    case jobs::JobSummary::End::Refused: return status;
    case jobs::JobSummary::End::Cancelled:
        print(out, QStringLiteral("No archive written: the run was cancelled."));
        return status;
    case jobs::JobSummary::End::Finished: break;
    }
    if (summary.writtenFiles.isEmpty()) {
        print(out, QStringLiteral("No archive written: the run wrote no files."));
        return status;
    }
    const zip::Result packed = zip::packFiles(summary.writtenFiles, archive, QLatin1String(kArchiveComment),
                                              zip::Overwrite::Replace);
    if (!packed) {
        print(err, QStringLiteral("archive not written: %1").arg(packed.reason));
        return status == 0 ? 1 : status;
    }
    print(
        out,
        QStringLiteral("Archive %1 written with %2 file(s).").arg(archive).arg(summary.writtenFiles.size()));
    return status;
}

}  // namespace quarbel::cli
