#include "imagelist/Paths.h"

#include <QFile>
#include <chrono>

namespace quarbel::imagelist {

namespace fs = std::filesystem;

fs::path toNative(const QString& path) { return fs::path(QFile::encodeName(path).toStdString()); }

QString fromNative(const fs::path& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

QString TrailingSlash(const QString& strFolder)
{
    if (strFolder.isEmpty() || strFolder.endsWith(u'/'))
        return strFolder;
    return strFolder + u'/';
}

QString joinAlways(const QString& folder, const QString& name) { return folder + u'/' + name; }

QString withoutTrailingSlash(const QString& path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(u'/'))
        trimmed.chop(1);
    return trimmed;
}

bool folderExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    std::error_code ec;
    return fs::is_directory(toNative(path), ec);
}

bool fileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    std::error_code ec;
    return fs::is_regular_file(toNative(path), ec);
}

QString fileName(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? path : path.mid(slash + 1);
}

qint64 fileLength(const QString& path)
{
    if (path.isEmpty())
        return -1;
    std::error_code ec;
    const auto native = toNative(path);
    if (!fs::is_regular_file(native, ec))
        return -1;
    const auto size = fs::file_size(native, ec);
    if (ec)
        return -1;
    return static_cast<qint64>(size);
}

std::optional<FileStamp> stampOf(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    std::error_code ec;
    const auto native = toNative(path);
    if (!fs::is_regular_file(native, ec))
        return std::nullopt;
    const auto length = fs::file_size(native, ec);
    if (ec)
        return std::nullopt;
    const auto modified = fs::last_write_time(native, ec);
    if (ec)
        return std::nullopt;
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch());
    return FileStamp{length, static_cast<std::int64_t>(ns.count())};
}

}  // namespace quarbel::imagelist
