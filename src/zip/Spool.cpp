#include "zip/Spool.h"

#include "platform/files/UnnamedFile.h"

#include <QDir>
#include <cerrno>
#include <cstring>
#include <algorithm>

namespace quarbel::zip {
namespace {
constexpr std::int64_t kChunk = 1 << 20;
}  // namespace

Spool::Spool() = default;
Spool::~Spool() = default;

Result Spool::ensureOpen()
{
    if (file_)
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
        return Result::failure(Error::SpoolFailed,
                               QStringLiteral("cannot create a temporary file in %1: %2")
                                   .arg(QDir::tempPath(), why));
    }
    file_ = std::move(file);
    end_ = 0;
    return Result::success();
}

Result Spool::append(const QByteArray& data, Span& span)
{
    if (auto r = ensureOpen(); !r)
        return r;
    if (!file_->seek(end_) || file_->write(data) != data.size()) {
        const QString why = file_->errorString();
        file_->resize(end_);
        return Result::failure(Error::SpoolFailed,
                               QStringLiteral("cannot keep the compressed data in a temporary file: %1")
                                   .arg(why));
    }
    span = {end_, data.size()};
    end_ += data.size();
    return Result::success();
}

void Spool::discard(const Span& span)
{
    if (!file_ || span.offset >= end_)
        return;
    end_ = span.offset;
    file_->resize(end_);
}

Result Spool::copyTo(const Span& span, QIODevice& out) const
{
    if (span.size == 0)
        return Result::success();
    if (!file_ || !file_->seek(span.offset))
        return Result::failure(Error::SpoolFailed,
                               QStringLiteral("cannot read back the compressed data"));
    QByteArray chunk;
    for (std::int64_t left = span.size; left > 0;) {
        chunk = file_->read(std::min(left, kChunk));
        if (chunk.isEmpty())
            return Result::failure(Error::SpoolFailed,
                                   QStringLiteral("cannot read back the compressed data: %1")
                                       .arg(file_->errorString()));
        if (out.write(chunk) != chunk.size())
            return Result::failure(Error::WriteFailed, out.errorString());
        left -= chunk.size();
    }
    return Result::success();
}

}  // namespace quarbel::zip
