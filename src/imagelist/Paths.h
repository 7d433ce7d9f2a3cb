#pragma once
#include <QString>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace quarbel::imagelist {

// The list keeps paths as text; the file system works on native paths. These convert
// between the two with the platform's file-name encoding, so names that are not valid
// UTF-8 survive the round trip where the encoding allows.
std::filesystem::path toNative(const QString& path);
QString fromNative(const std::filesystem::path& path);

// strFolder with one "/" appended unless it already ends with one; "" stays "".
QString TrailingSlash(const QString& strFolder);

// The folder, one "/" and the name, whatever the folder ends with: a root folder "/" gives
// "//name.jpg". This is how the window forms a picked or dropped folder's item paths.
QString joinAlways(const QString& folder, const QString& name);

// The path without trailing "/" (the root "/" stays): how the shell names a dropped or
// copied folder, so that its items get exactly one separator.
QString withoutTrailingSlash(const QString& path);

// Is there a folder, or an ordinary file (links followed), at path? Pipes, sockets and
// devices are not files here: reading one could wait forever. Never throws; "" is neither.
bool folderExists(const QString& path);
bool fileExists(const QString& path);

// The last component of a path ("/a/b.jpg" gives "b.jpg").
QString fileName(const QString& path);

// A file's length in bytes, or -1 when it is missing or cannot be read. 64-bit, so files of
// 2 GiB and more report their real size.
qint64 fileLength(const QString& path);

// What tells one version of a file from the next: its length and its modification time to
// the nanosecond. A file rewritten in place or replaced under the same name gets a new one.
struct FileStamp {
    std::uintmax_t length = 0;
    std::int64_t modified = 0;  // nanoseconds of the file system's clock
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the ordinary file at path (links followed); nothing when there is none.
std::optional<FileStamp> stampOf(const QString& path);

}  // namespace quarbel::imagelist
