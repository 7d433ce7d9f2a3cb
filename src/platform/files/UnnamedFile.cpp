#include "platform/files/UnnamedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

namespace quarbel::platform::files {

namespace {

// O_TMPFILE is refused with one of these where the file system or kernel lacks it.
bool unnamedUnsupported(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL || error == ENOENT;
}

int makeNamed(const std::string& folder, std::string& path)
{
    std::string pattern = folder + "/.quarbel-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0)
        path = name.data();
    return fd;
}

std::string procPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// A fresh hidden name in the folder for the moment between linking and renaming.
std::string hiddenName(const std::string& folder)
{
    static thread_local std::mt19937_64 random{std::random_device{}()};
    char suffix[17];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
    return folder + "/.quarbel-" + suffix;
}

// Hard links for an unnamed file: through /proc, or by descriptor where /proc is not
// mounted (which needs a privilege most users lack).
int linkDescriptor(int fd, const std::string& path)
{
    if (::linkat(AT_FDCWD, procPath(fd).c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno != ENOENT || ::access("/proc/self/fd", F_OK) == 0)
        return errno;
    return ::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

}  // namespace

UnnamedFile::UnnamedFile(const std::string& folder, TempKind kind, unsigned permissions) : m_folder(folder)
{
    if (kind == TempKind::PreferUnnamed) {
        m_fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, permissions);
        if (m_fd >= 0)
            return;
        if (!unnamedUnsupported(errno)) {
            m_error = errno;
            return;
        }
    }
    m_fd = makeNamed(folder, m_path);
    if (m_fd < 0)
        m_error = errno;
    else
        ::fchmod(m_fd, permissions);
}

UnnamedFile UnnamedFile::adopt(const std::string& folder, int fd)
{
    UnnamedFile file;
    file.m_folder = folder;
    file.m_fd = fd;
    return file;
}

UnnamedFile::UnnamedFile(UnnamedFile&& other) noexcept
    : m_folder(std::move(other.m_folder)), m_path(std::move(other.m_path)), m_fd(other.m_fd), m_error(other.m_error)
{
    other.m_fd = -1;
    other.m_path.clear();
}

UnnamedFile::~UnnamedFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_path.empty())
        ::unlink(m_path.c_str());
}

int UnnamedFile::linkAs(const std::string& path)
{
    if (!isOpen())
        return m_error ? m_error : EBADF;
    return m_path.empty() ? nameUnnamed(path) : renameNamed(path, false);
}

int UnnamedFile::replace(const std::string& path)
{
    if (!isOpen())
        return m_error ? m_error : EBADF;
    if (!m_path.empty())
        return renameNamed(path, true);
    const int first = nameUnnamed(path);
    if (first != EEXIST)
        return first;
    // Taken: link under a hidden name, then rename over the old file, which swaps the two
    // atomically. The hidden name exists only between these two calls.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string hidden = hiddenName(m_folder);
        const int error = linkDescriptor(m_fd, hidden);
        if (error == EEXIST)
            continue;
        if (error != 0)
            return error;
        if (::rename(hidden.c_str(), path.c_str()) == 0)
            return 0;
        const int renameError = errno;
        ::unlink(hidden.c_str());
        return renameError;
    }
    return EEXIST;
}

int UnnamedFile::nameUnnamed(const std::string& path) { return linkDescriptor(m_fd, path); }

int UnnamedFile::renameNamed(const std::string& path, bool replacing)
{
    int result = 0;
    if (replacing) {
        result = ::rename(m_path.c_str(), path.c_str()) == 0 ? 0 : errno;
    } else {
#ifdef RENAME_NOREPLACE
        if (::renameat2(AT_FDCWD, m_path.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
            m_path.clear();
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
            return errno;
#endif
        // Without renameat2: a hard link fails just as atomically on an existing name.
        if (::link(m_path.c_str(), path.c_str()) == 0) {
            ::unlink(m_path.c_str());
            m_path.clear();
            return 0;
        }
        if (errno == EEXIST)
            return EEXIST;
        if (errno != EPERM && errno != ENOTSUP && errno != ENOSYS && errno != EXDEV)
            return errno;
        // No hard links either (some FUSE and FAT mounts): check, then rename. A file made by
        // someone else in between could be replaced; there is nothing better on such a system.
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0)
            return EEXIST;
        result = ::rename(m_path.c_str(), path.c_str()) == 0 ? 0 : errno;
    }
    if (result == 0)
        m_path.clear();
    return result;
}

int openScratchFile(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || !unnamedUnsupported(errno))
        return fd;
    std::string path;
    const int named = makeNamed(folder, path);
    if (named >= 0)
        ::unlink(path.c_str());
    return named;
}

void closeScratchFile(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

}  // namespace quarbel::platform::files
