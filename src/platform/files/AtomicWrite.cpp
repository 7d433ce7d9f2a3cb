#include "platform/files/AtomicWrite.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
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

// Closes and removes the temporary file unless it was moved into place.
class TempFile {
public:
    explicit TempFile(const std::string& folder)
    {
        std::string pattern = folder + "/.quarbel-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        m_fd = mkostemp(name.data(), O_CLOEXEC);
        if (m_fd >= 0)
            m_path = name.data();
        else
            m_error = errno;
    }
    ~TempFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool open() const { return m_fd >= 0; }
    int error() const { return m_error; }
    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }
    void release() { m_path.clear(); }  // moved into place: nothing left to remove

    // Writes everything, then closes; returns 0 or the errno of the first failure. The bytes
    // pass through a small buffer that stays in the processor's cache: one write of a whole
    // large picture straight from its memory took the kernel up to ten times longer.
    int writeAll(const std::uint8_t* data, std::size_t size, bool flush)
    {
        constexpr std::size_t kPiece = 256 * 1024;
        std::vector<std::uint8_t> piece(std::min(size, kPiece));
        while (size > 0) {
            const std::size_t length = std::min(size, kPiece);
            std::memcpy(piece.data(), data, length);
            const ssize_t n = ::write(m_fd, piece.data(), length);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            data += n;
            size -= std::size_t(n);
        }
        if (flush && ::fsync(m_fd) != 0)
            return errno;
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd = -1;
    int m_error = 0;
    std::string m_path;
};

// Moves the temporary file to path unless something of that name exists. Returns 0 or errno
// (EEXIST when the name is taken).
int moveWithoutReplacing(const std::string& from, const std::string& to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
#endif
    // File systems without renameat2: a hard link fails just as atomically on an existing name.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (errno == EEXIST)
        return EEXIST;
    if (errno != EPERM && errno != ENOTSUP && errno != ENOSYS && errno != EXDEV)
        return errno;
    // No hard links either (some FUSE and FAT mounts): check, then rename. A file created by
    // someone else in between could be replaced; there is nothing better on such a system.
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0)
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

FileResult writeFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size,
                               WriteMode mode)
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
    TempFile temp(folder);
    if (!temp.open())
        return FileResult::failure(cannotWrite(path, temp.error()));

    // Ordinary permissions for a new file; a replaced file keeps its own.
    mode_t permissions = 0666;
    if (exists && mode == WriteMode::ReplaceExisting) {
        permissions = existing.st_mode & 07777;
    } else {
        permissions &= ~processUmask();
    }
    ::fchmod(temp.fd(), permissions);

    // A file that replaces an existing one is flushed to the disk first, so that a crash
    // cannot leave an empty file where the old one was. A new name puts nothing at risk.
    if (int error = temp.writeAll(data, size, exists && mode == WriteMode::ReplaceExisting))
        return FileResult::failure(cannotWrite(path, error));

    if (mode == WriteMode::ReplaceExisting) {
        if (::rename(temp.path().c_str(), path.c_str()) != 0) {
            const int error = errno;
            if (error == EISDIR)
                return FileResult::failure("a folder exists at " + path);
            return FileResult::failure(cannotWrite(path, error));
        }
    } else if (int error = moveWithoutReplacing(temp.path(), path)) {
        if (error == EEXIST) {
            struct stat st;
            if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                return FileResult::failure("a folder exists at " + path);
            return FileResult::failure("a file exists at " + path);
        }
        return FileResult::failure(cannotWrite(path, error));
    }
    temp.release();
    return FileResult::success();
}

}  // namespace quarbel::platform::files
