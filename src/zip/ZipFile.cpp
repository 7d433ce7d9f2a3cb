#include "zip/ZipFile.h"

#include "zip/Deflate.h"
#include "zip/DosDateTime.h"
#include "zip/ZipLimits.h"

#include <QFile>
#include <QFileInfo>
#include <new>

namespace quarbel::zip {
namespace {

Result writeAll(QIODevice& out, const QByteArray& bytes)
{
    if (out.write(bytes) != bytes.size())
        return Result::failure(Error::WriteFailed, out.errorString());
    return Result::success();
}

Result readWhole(const QString& path, QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result::failure(Error::SourceUnreadable,
                               QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    const qint64 expected = file.size();
    if (auto r = checkEntry(static_cast<std::uint64_t>(expected), 0, 0, 0); !r)
        return Result::failure(r.error, QStringLiteral("%1: %2").arg(path, r.reason));
    data = file.readAll();
    if (file.error() != QFileDevice::NoError || data.size() != expected)
        return Result::failure(Error::SourceUnreadable,
                               QStringLiteral("cannot read %1 completely: %2").arg(path, file.errorString()));
    return Result::success();
}

}  // namespace

Result ZipFile::SetSourcePath(const QString& path, Spool& spool)
{
    try {
        const QFileInfo info(path);
        QByteArray data;
        if (auto r = readWhole(path, data); !r)
            return r;
        if (data.isEmpty())
            return Result::failure(Error::SourceEmpty,
                                   QStringLiteral("%1 is empty: nothing to pack").arg(path));
        QByteArray raw;
        if (auto r = rawDeflate(data, raw); !r)
            return Result::failure(r.error, QStringLiteral("%1: %2").arg(path, r.reason));
        if (auto r = checkEntry(static_cast<std::uint64_t>(data.size()),
                                static_cast<std::uint64_t>(raw.size()), 0, 0);
            !r)
            return Result::failure(r.error, QStringLiteral("%1: %2").arg(path, r.reason));

        const DosDateTime stamp = toDosDateTime(info.fileTime(QFileDevice::FileModificationTime));
        m_fields.time = stamp.time;
        m_fields.date = stamp.date;
        m_fields.crc = crc32Of(data);
        m_fields.uncompressedSize = static_cast<std::uint32_t>(data.size());
        m_fields.compressedSize = static_cast<std::uint32_t>(raw.size());
        data.clear();

        Spool::Span span;
        if (auto r = spool.append(raw, span); !r)
            return r;
        m_data = span;
    } catch (const std::bad_alloc&) {
        return Result::failure(Error::CompressFailed,
                               QStringLiteral("not enough memory to compress %1").arg(path));
    }
    return SetFileName(QFileInfo(path).fileName());
}

Result ZipFile::SetFileName(const QString& name)
{
    const QByteArray bytes = storedText(name);
    if (auto r = checkEntry(0, 0, static_cast<std::uint64_t>(bytes.size()), 0); !r)
        return r;
    m_name = bytes;
    updateTextFields();
    return Result::success();
}

Result ZipFile::SetComment(const QString& comment)
{
    const QByteArray bytes = storedText(comment);
    if (auto r = checkEntry(0, 0, 0, static_cast<std::uint64_t>(bytes.size())); !r)
        return r;
    m_comment = bytes;
    updateTextFields();
    return Result::success();
}

void ZipFile::updateTextFields()
{
    m_fields.nameLength = static_cast<std::uint16_t>(m_name.size());
    const bool ascii = isPlainAscii(m_name) && isPlainAscii(m_comment);
    m_fields.flags = ascii ? kFlagsDefault : static_cast<std::uint16_t>(kFlagsDefault | kFlagUtf8);
    m_fields.versionMadeBy = ascii ? kVersion : kVersionMadeByUtf8;
}

Result ZipFile::WriteLocal(QIODevice& out, const Spool& spool, std::uint32_t offset)
{
    m_localHeaderOffset = offset;
    if (auto r = writeAll(out, localHeader(m_fields)); !r)
        return r;
    if (auto r = writeAll(out, m_name); !r)
        return r;
    // The extra field is always empty.
    return spool.copyTo(m_data, out);
}

Result ZipFile::WriteCentral(QIODevice& out) const
{
    const auto commentLength = static_cast<std::uint16_t>(m_comment.size());
    if (auto r = writeAll(out, centralHeader(m_fields, commentLength, m_localHeaderOffset)); !r)
        return r;
    if (auto r = writeAll(out, m_name); !r)
        return r;
    return writeAll(out, m_comment);
}

std::uint64_t ZipFile::localSize() const
{
    return localPartSize(static_cast<std::uint64_t>(m_name.size()), m_fields.compressedSize);
}

std::uint64_t ZipFile::centralSize() const
{
    return centralPartSize(static_cast<std::uint64_t>(m_name.size()),
                           static_cast<std::uint64_t>(m_comment.size()));
}

}  // namespace quarbel::zip
