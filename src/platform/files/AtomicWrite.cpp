#include "platform/files/AtomicWrite.h"

#include "platform/files/UnnamedFile.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

namespace quarbel::platform::files {

namespace {

// umask() can only be read by setting it, which is not safe while other threads create
// files; the value is taken once.
mode_t processUmask()
{
    static const mode_t mask = [] {
        const mode_t m = ::umask(0022);
        ::umask(m);
        return m;
    }();
    return mask;
}

std::string cannotWrite(const std::string& path, int error)
{
    return "cannot write " + path + ": " + std::strerror(error);
}

// Writes everything; returns 0 or the errno of the first failure. The bytes pass through a
// small buffer that stays in the processor's cache: one write of a whole large picture
// straight from its memory took the kernel up to ten times longer.
int writeAll(int fd, const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t kPiece = 256 * 1024;
    std::vector<std::uint8_t> piece(std::min(size, kPiece));
    while (size > 0) {
        const std::size_t length = std::min(size, kPiece);
        std::memcpy(piece.data(), data, length);
        const ssize_t n = ::write(fd, piece.data(), length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= std::size_t(n);
    }
    return 0;
}

int sendAll(int fd, int sourceFd, std::size_t size)
{
    off_t offset = 0;
    while (size > 0) {
        const ssize_t n = ::sendfile(fd, sourceFd, &offset, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;  // the source is shorter than it said
        size -= std::size_t(n);
    }
    return 0;
}

// Writes a new file at path whose bytes fill() puts into the descriptor it is given
// (returning 0 or an errno value).
FileResult writeWith(const std::string& path, WriteMode mode, TempKind kind, SpareFiles* spares,
                     const std::function<int(int)>& fill)
{
    if (path.empty())
        return FileResult::failure("no file name to write to");
    struct stat existing;
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return FileResult::failure("a folder exists at " + path);
    if (exists && mode == WriteMode::FailIfExists)
        return FileResult::failure("a file exists at " + path);

    std::filesystem::path target(path);
    std::string folder = target.has_parent_path() ? target.parent_path().string() : std::string(".");
    if (folder.empty())
        folder = "/";
    // Ordinary permissions for a new file; a replaced file keeps its own.
    mode_t permissions = 0666 & ~processUmask();
    if (exists && mode == WriteMode::ReplaceExisting)
        permissions = existing.st_mode & 07777;
    UnnamedFile temp = spares && kind == TempKind::PreferUnnamed ? spares->take(folder, permissions)
                                                                 : UnnamedFile(folder, kind, permissions);
    if (!temp.isOpen())
        return FileResult::failure(cannotWrite(path, temp.error()));
    ::fchmod(temp.fd(), permissions);

    // A file that replaces an existing one is flushed to the disk first, so that a crash
    // cannot leave an empty file where the old one was. A new name puts nothing at risk.
    int error = fill(temp.fd());
    if (error == 0 && exists && mode == WriteMode::ReplaceExisting && ::fsync(temp.fd()) != 0)
        error = errno;
    if (error != 0)
        return FileResult::failure(cannotWrite(path, error));

    error = mode == WriteMode::ReplaceExisting ? temp.replace(path) : temp.linkAs(path);
    if (error == EISDIR)
        return FileResult::failure("a folder exists at " + path);
    if (error == EEXIST) {
        struct stat st;
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return FileResult::failure("a folder exists at " + path);
        return FileResult::failure("a file exists at " + path);
    }
    if (error != 0)
        return FileResult::failure(cannotWrite(path, error));
    return FileResult::success();
}

}  // namespace

FileResult writeFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size,
                               WriteMode mode, TempKind kind, SpareFiles* spares)
{
    return writeWith(path, mode, kind, spares, [&](int fd) { return writeAll(fd, data, size); });
}

FileResult writeFileAtomically(const std::string& path, int sourceFd, std::size_t size, WriteMode mode,
                               TempKind kind, SpareFiles* spares)
{
    return writeWith(path, mode, kind, spares, [&](int fd) { return sendAll(fd, sourceFd, size); });
}

}  // namespace quarbel::platform::files
