#include "platform/files/ReadFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quarbel::platform::files {

namespace {

std::string cannotRead(const std::string& path, int error)
{
    return "cannot read " + path + ": " + std::strerror(error);
}

struct Fd {
    int fd;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

}  // namespace

FileResult readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    // Non-blocking, so that a FIFO or device named like a picture does not hang the caller.
    Fd file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0)
        return FileResult::failure(cannotRead(path, errno));
    struct stat st;
    if (::fstat(file.fd, &st) != 0)
        return FileResult::failure(cannotRead(path, errno));
    if (S_ISDIR(st.st_mode))
        return FileResult::failure("a folder exists at " + path + ", not a picture");
    if (!S_ISREG(st.st_mode))
        return FileResult::failure(path + " is not a regular file");
    if (std::uint64_t(st.st_size) > kMaxFileBytes)
        return FileResult::failure("the file is too large: " + path);
    if (st.st_size == 0)
        return FileResult::failure("the file is empty");
    // Read through a small buffer that stays in cache and append: sizing the vector first
    // would fill it with zeros only to overwrite them, and the kernel copies into fresh
    // pages more slowly than into cached ones.
    const std::size_t size = std::size_t(st.st_size);
    try {
        bytes.reserve(size);
    } catch (const std::bad_alloc&) {
        return FileResult::failure("not enough memory to read " + path);
    }
    static thread_local std::uint8_t chunk[256 * 1024];
    while (bytes.size() < size) {
        const ssize_t n = ::read(file.fd, chunk, std::min(sizeof chunk, size - bytes.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            bytes.clear();
            return FileResult::failure(cannotRead(path, error));
        }
        if (n == 0)
            break;  // the file shrank while it was read
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return FileResult::success();
}

}  // namespace quarbel::platform::files
