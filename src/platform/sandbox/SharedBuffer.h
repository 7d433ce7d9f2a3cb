#pragma once
// Bytes that travel between the program and a worker process without being copied through
// a pipe: an anonymous memory file (memfd) mapped into both. The sender fills a writable
// buffer and passes its descriptor over the worker's socket; the receiver maps the same
// pages.
//
// A buffer that comes from a worker is distrusted: before it is mapped it is sealed against
// shrinking and growing, so the worker cannot truncate the pages under the reader (which
// would end the reader with SIGBUS), and it is mapped read-only.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quarbel::platform::sandbox {

class SharedBuffer {
public:
    SharedBuffer() = default;
    ~SharedBuffer();
    SharedBuffer(SharedBuffer&& other) noexcept;
    SharedBuffer& operator=(SharedBuffer&& other) noexcept;
    SharedBuffer(const SharedBuffer&) = delete;
    SharedBuffer& operator=(const SharedBuffer&) = delete;

    // A new writable buffer of size bytes (zero-filled); empty() and error() on failure.
    static SharedBuffer create(std::size_t size);
    // How the pages of bytes received are mapped: all at once for bytes that will be read
    // whole (a source to decode), or as they are touched, for bytes that mostly go on to a
    // file by descriptor (a finished output) and are never touched here.
    enum class Mapping { AllAtOnce, WhenTouched };
    // Takes ownership of fd, a memory file that came from another process: seals its size
    // and maps it read-only. Refuses (error() set, fd closed) what is not a memory file,
    // what cannot be sealed and what is larger than maxSize.
    static SharedBuffer adoptSealed(int fd, std::uint64_t maxSize, Mapping mapping = Mapping::AllAtOnce);

    // Changes the size of a writable buffer; the contents up to the smaller size stay.
    bool resize(std::size_t size);
    // Makes a writable buffer hold exactly these bytes. They are written into the memory
    // file rather than copied through a mapping, which spares a page fault per page.
    bool assign(std::span<const std::uint8_t> bytes);
    // The same for bytes that are no longer needed: each stretch of their memory is given
    // back to the system as soon as it is written, so that a large file is not held twice
    // while it moves. bytes is left empty.
    bool take(std::vector<std::uint8_t>&& bytes);

    bool valid() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    std::size_t size() const { return m_size; }
    std::uint8_t* data() { return m_writable ? m_data : nullptr; }
    std::span<const std::uint8_t> bytes() const { return {m_data, m_size}; }
    const std::string& error() const { return m_error; }

private:
    enum class Access { ReadOnly, Writable };
    enum class Source { Kept, Released };
    bool fill(std::span<const std::uint8_t> bytes, Source source);
    bool map(Access access, Mapping mapping = Mapping::AllAtOnce);
    void release();

    int m_fd = -1;
    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    bool m_writable = false;
    std::string m_error;
};

}  // namespace quarbel::platform::sandbox
