#include "zip/Spool.h"

#include "platform/files/UnnamedFile.h"

#include <QDir>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quarbel::zip {
namespace {
constexpr std::int64_t kChunk = 1 << 20;
}  // namespace

Spool::Spool() = default;
Spool::~Spool() = default;

Result Spool::ensureOpen()
{
    if (m_file)
        return Result::success();
    // A file without a name: nothing is left in the temporary folder however the process ends.
    const int fd = platform::files::openScratchFile(QDir::tempPath().toStdString());
    if (fd < 0)
        return Result::failure(Error::SpoolFailed,
                               QStringLiteral("cannot create a temporary file in %1: %2")
                                   .arg(QDir::tempPath(), QString::fromLocal8Bit(std::strerror(errno))));
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        const QString why = file->errorString();
        platform::files::closeScratchFile(fd);
        return Result::failure(
            Error::SpoolFailed,
            QStringLiteral("cannot create a temporary file in %1: %2").arg(QDir::tempPath(), why));
    }
    m_file = std::move(file);
    m_end = 0;
    return Result::success();
}

Result Spool::append(const QByteArray& data, Span& span)
{
    if (auto r = ensureOpen(); !r)
        return r;
    if (!m_file->seek(m_end) || m_file->write(data) != data.size()) {
        const QString why = m_file->errorString();
        m_file->resize(m_end);
        return Result::failure(
            Error::SpoolFailed,
            QStringLiteral("cannot keep the compressed data in a temporary file: %1").arg(why));
    }
    span = {m_end, data.size()};
    m_end += data.size();
    return Result::success();
}

void Spool::discard(const Span& span)
{
    if (!m_file || span.offset >= m_end)
        return;
    m_end = span.offset;
    m_file->resize(m_end);
}

Result Spool::copyTo(const Span& span, QIODevice& out) const
{
    if (span.size == 0)
        return Result::success();
    if (!m_file || !m_file->seek(span.offset))
        return Result::failure(Error::SpoolFailed, QStringLiteral("cannot read back the compressed data"));
    QByteArray chunk;
    for (std::int64_t left = span.size; left > 0;) {
        chunk = m_file->read(std::min(left, kChunk));
        if (chunk.isEmpty())
            return Result::failure(
                Error::SpoolFailed,
                QStringLiteral("cannot read back the compressed data: %1").arg(m_file->errorString()));
        if (out.write(chunk) != chunk.size())
            return Result::failure(Error::WriteFailed, out.errorString());
        left -= chunk.size();
    }
    return Result::success();
}

}  // namespace quarbel::zip
