#include "platform/sandbox/SharedBuffer.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

namespace quarbel::platform::sandbox {

namespace {

constexpr int kSizeSeals = F_SEAL_SHRINK | F_SEAL_GROW;
// How much is written at a time when the source's memory is given back as it goes.
constexpr std::size_t kFillStretch = std::size_t(4) << 20;

// Gives back the memory pages that lie wholly within the bytes (read as zeros if touched
// again). The pages at either end may hold other allocations and stay.
void releasePages(const std::uint8_t* bytes, std::size_t size)
{
    const auto page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    const auto first = (std::uintptr_t(bytes) + page - 1) / page * page;
    const auto end = (std::uintptr_t(bytes) + size) / page * page;
    if (end > first)
        ::madvise(reinterpret_cast<void*>(first), end - first, MADV_DONTNEED);
}

}  // namespace

SharedBuffer::~SharedBuffer() { release(); }

SharedBuffer::SharedBuffer(SharedBuffer&& other) noexcept { *this = std::move(other); }

SharedBuffer& SharedBuffer::operator=(SharedBuffer&& other) noexcept
{
    if (this != &other) {
        release();
        m_fd = std::exchange(other.m_fd, -1);
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_writable = std::exchange(other.m_writable, false);
        m_error = std::move(other.m_error);
    }
    return *this;
}

void SharedBuffer::release()
{
    if (m_data)
        ::munmap(m_data, m_size);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_data = nullptr;
    m_size = 0;
}

SharedBuffer SharedBuffer::create(std::size_t size)
{
    SharedBuffer buffer;
    buffer.m_fd = ::memfd_create("quarbel-bytes", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (buffer.m_fd < 0) {
        buffer.m_error = std::string("cannot make shared memory: ") + std::strerror(errno);
        return buffer;
    }
    buffer.m_writable = true;
    if (!buffer.resize(size))
        buffer.release();
    return buffer;
}

SharedBuffer SharedBuffer::adoptSealed(int fd, std::uint64_t maxSize, Mapping mapping)
{
    SharedBuffer buffer;
    buffer.m_fd = fd;
    // Only memory files take seals, so this also refuses sockets, pipes and disk files.
    if (::fcntl(fd, F_ADD_SEALS, kSizeSeals) != 0 || (::fcntl(fd, F_GET_SEALS) & kSizeSeals) != kSizeSeals) {
        buffer.m_error = "the bytes are not in sealable shared memory";
        buffer.release();
        return buffer;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || std::uint64_t(st.st_size) > maxSize) {
        buffer.m_error = "the shared bytes are too many";
        buffer.release();
        return buffer;
    }
    buffer.m_size = std::size_t(st.st_size);
    if (!buffer.map(Access::ReadOnly, mapping))
        buffer.release();
    return buffer;
}

bool SharedBuffer::resize(std::size_t size)
{
    if (!m_writable || m_fd < 0)
        return false;
    if (::ftruncate(m_fd, off_t(size)) != 0) {
        m_error = std::string("cannot size shared memory: ") + std::strerror(errno);
        return false;
    }
    if (m_data) {
        if (size == 0) {
            ::munmap(m_data, m_size);
            m_data = nullptr;
        } else {
            void* moved = ::mremap(m_data, m_size, size, MREMAP_MAYMOVE);
            if (moved == MAP_FAILED) {
                m_error = std::string("cannot map shared memory: ") + std::strerror(errno);
                return false;
            }
            m_data = static_cast<std::uint8_t*>(moved);
        }
        m_size = size;
        return true;
    }
    m_size = size;
    return map(Access::Writable);
}

bool SharedBuffer::assign(std::span<const std::uint8_t> bytes)
{
    return fill(bytes, Source::Kept);
}

bool SharedBuffer::take(std::vector<std::uint8_t>&& bytes)
{
    const bool filled = fill(bytes, Source::Released);
    std::vector<std::uint8_t>().swap(bytes);
    return filled;
}

bool SharedBuffer::fill(std::span<const std::uint8_t> bytes, Source source)
{
    if (!m_writable || m_fd < 0 || !resize(0))
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(m_fd, bytes.data() + done, std::min(bytes.size() - done, kFillStretch),
                                   off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_error = std::string("cannot fill shared memory: ") + std::strerror(errno);
            return false;
        }
        if (source == Source::Released)
            releasePages(bytes.data() + done, std::size_t(n));
        done += std::size_t(n);
    }
    m_size = bytes.size();
    return map(Access::Writable);
}

bool SharedBuffer::map(Access access, Mapping mapping)
{
    m_writable = access == Access::Writable;
    if (m_size == 0)
        return true;
    // Bytes received to be read once from start to end have their pages mapped in one go.
    const int protection = m_writable ? PROT_READ | PROT_WRITE : PROT_READ;
    const int flags = !m_writable && mapping == Mapping::AllAtOnce ? MAP_SHARED | MAP_POPULATE : MAP_SHARED;
    void* mapped = ::mmap(nullptr, m_size, protection, flags, m_fd, 0);
    if (mapped == MAP_FAILED) {
        m_error = std::string("cannot map shared memory: ") + std::strerror(errno);
        return false;
    }
    m_data = static_cast<std::uint8_t*>(mapped);
    return true;
}

}  // namespace quarbel::platform::sandbox
