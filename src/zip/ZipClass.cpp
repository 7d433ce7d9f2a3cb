#include "zip/ZipClass.h"

#include "zip/ZipLimits.h"
#include "zip/ZipRecords.h"

#include <QFileInfo>
#include <QSaveFile>
#include <new>

namespace quarbel::zip {

void ZipClass::SetComment(const QString& comment) { m_comment = storedText(comment); }

Result ZipClass::AddFile(const QString& filePath, const QString& fileName, const QString& comment)
{
    const QFileInfo info(filePath);
    if (!info.exists())
        return Result::failure(Error::SourceMissing, QStringLiteral("%1: no such file").arg(filePath));
    if (!info.isFile())
        return Result::failure(Error::SourceMissing, QStringLiteral("%1: not a regular file").arg(filePath));
    if (auto r = checkLayout({m_entries.size() + 1, m_localBytes, m_centralBytes, 0}); !r)
        return r;

    ZipFile entry;
    if (auto r = entry.SetSourcePath(filePath, m_spool); !r)
        return r;
    Result r = Result::success();
    if (!fileName.isEmpty())
        r = entry.SetFileName(fileName);
    if (r && !comment.isEmpty())
        r = entry.SetComment(comment);
    if (r)
        r = checkLayout({m_entries.size() + 1, m_localBytes + entry.localSize(),
                         m_centralBytes + entry.centralSize(), 0});
    if (!r) {
        m_spool.discard(entry.data());
        return Result::failure(r.error, QStringLiteral("%1: %2").arg(filePath, r.reason));
    }
    m_localBytes += entry.localSize();
    m_centralBytes += entry.centralSize();
    m_entries.push_back(std::move(entry));
    return Result::success();
}

Result ZipClass::WriteZip(const QString& filePath, Overwrite overwrite)
{
    const auto fail = [&](Error error, const QString& why) {
        return Result::failure(error, QStringLiteral("%1: %2").arg(filePath, why));
    };
    if (auto r = checkLayout(
            {m_entries.size(), m_localBytes, m_centralBytes, static_cast<std::uint64_t>(m_comment.size())});
        !r)
        return fail(r.error, r.reason);

    const QFileInfo target(filePath);
    if (target.isDir())
        return fail(Error::TargetIsFolder, QStringLiteral("is a folder"));
    if (target.exists() && overwrite == Overwrite::Refuse)
        return fail(Error::TargetExists, QStringLiteral("the file exists already"));

    // QSaveFile writes to a temporary file in the target's folder and renames it over the
    // target on commit, so the old archive stays until the new one is complete.
    QSaveFile out(filePath);
    if (!out.open(QIODevice::WriteOnly))
        return fail(Error::WriteFailed, out.errorString());
    Result written = Result::success();
    try {
        written = writeTo(out);
    } catch (const std::bad_alloc&) {
        written = Result::failure(Error::WriteFailed, QStringLiteral("not enough memory"));
    }
    if (!written) {
        out.cancelWriting();
        return fail(written.error, written.reason);
    }
    if (overwrite == Overwrite::Refuse && QFileInfo::exists(filePath)) {
        out.cancelWriting();  // someone else created it meanwhile: leave theirs alone
        return fail(Error::TargetExists, QStringLiteral("the file exists already"));
    }
    if (!out.commit())
        return fail(Error::WriteFailed, out.errorString());
    return Result::success();
}

Result ZipClass::writeTo(QIODevice& out)
{
    std::uint64_t offset = 0;
    for (ZipFile& entry : m_entries) {
        if (auto r = entry.WriteLocal(out, m_spool, static_cast<std::uint32_t>(offset)); !r)
            return r;
        offset += entry.localSize();
    }
    const std::uint64_t centralOffset = offset;
    for (const ZipFile& entry : m_entries) {
        if (auto r = entry.WriteCentral(out); !r)
            return r;
        offset += entry.centralSize();
    }
    EndRecord end;
    end.entries = static_cast<std::uint16_t>(m_entries.size());
    end.centralSize = static_cast<std::uint32_t>(offset - centralOffset);
    end.centralOffset = static_cast<std::uint32_t>(centralOffset);
    end.commentLength = static_cast<std::uint16_t>(m_comment.size());
    const QByteArray tail = endRecord(end) + m_comment;
    if (out.write(tail) != tail.size())
        return Result::failure(Error::WriteFailed, out.errorString());
    return Result::success();
}

}  // namespace quarbel::zip
