#include "platform/sandbox/FileBytes.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quarbel::platform::sandbox {

namespace {

struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

SharedBuffer failed(std::string& reason, std::string why)
{
    reason = std::move(why);
    return {};
}

// The reasons are those of platform/files' readWholeFile, which the jobs read with before.
std::string cannotRead(const std::string& path, int error)
{
    return "cannot read " + path + ": " + std::strerror(error);
}

}  // namespace

SharedBuffer fileBytes(const std::string& path, std::uint64_t most, LongerFile longer, std::string& reason)
{
    // O_NONBLOCK: opening a FIFO named like a picture must not wait for a writer.
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
    if (file.fd < 0)
        return failed(reason, cannotRead(path, errno));
    struct stat st;
    if (::fstat(file.fd, &st) != 0)
        return failed(reason, cannotRead(path, errno));
    if (S_ISDIR(st.st_mode))
        return failed(reason, "a folder exists at " + path + ", not a picture");
    if (!S_ISREG(st.st_mode))
        return failed(reason, path + " is not a regular file");
    std::uint64_t length = std::uint64_t(st.st_size);
    if (length == 0)
        return failed(reason, "the file is empty");
    if (length > most) {
        if (longer == LongerFile::Refuse)
            return failed(reason, "the file is too large: " + path);
        length = most;
    }

    SharedBuffer buffer = SharedBuffer::create(0);
    if (!buffer.valid())
        return failed(reason, buffer.error());
    std::uint64_t copied = 0;
    while (copied < length) {
        const std::size_t chunk = std::size_t(std::min<std::uint64_t>(length - copied, 1u << 30));
        const ssize_t n = ::sendfile(buffer.fd(), file.fd, nullptr, chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failed(reason, cannotRead(path, errno));
        if (n == 0)
            break;  // the file got shorter while it was read: what is there is taken
        copied += std::uint64_t(n);
    }
    if (!buffer.resize(std::size_t(copied)))
        return failed(reason, buffer.error());
    return buffer;
}

}  // namespace quarbel::platform::sandbox
