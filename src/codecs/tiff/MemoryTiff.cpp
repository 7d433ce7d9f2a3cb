#include "codecs/tiff/MemoryTiff.h"

#include "codecs/Failure.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace quarbel::codecs::tiff {

namespace {

MemoryTiff& self(thandle_t handle) { return *static_cast<MemoryTiff*>(static_cast<void*>(handle)); }

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

}  // namespace

MemoryTiff::MemoryTiff(Variant variant, std::size_t reserve)
{
    m_bytes.reserve(reserve);
    const std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options)
        throw std::bad_alloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), error, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), warning, this);
    m_tiff = TIFFClientOpenExt("memory", variant == Variant::Big ? "w8" : "w", this, read, write, seek, close,
                               size, map, unmap, options.get());
    check(m_tiff != nullptr, "opening");
}

MemoryTiff::~MemoryTiff()
{
    if (m_tiff) {
        m_dropped = true;
        TIFFClose(m_tiff);
    }
}

void MemoryTiff::check(bool ok, const char* what)
{
    if (m_outOfMemory)
        throw std::bad_alloc();
    if (!ok)
        throw Failure(std::string("the TIFF file could not be written (") + what +
                      (m_error.empty() ? ")" : "): " + m_error));
}

Bytes MemoryTiff::take()
{
    check(TIFFFlush(m_tiff) == 1, "closing");
    TIFFClose(std::exchange(m_tiff, nullptr));
    check(true, "closing");
    return std::move(m_bytes);
}

tmsize_t MemoryTiff::read(thandle_t handle, void* data, tmsize_t size)
{
    MemoryTiff& file = self(handle);
    if (size <= 0 || file.m_position >= file.m_bytes.size())
        return 0;
    const std::size_t n = std::min<std::uint64_t>(std::uint64_t(size), file.m_bytes.size() - file.m_position);
    std::memcpy(data, file.m_bytes.data() + file.m_position, n);
    file.m_position += n;
    return tmsize_t(n);
}

tmsize_t MemoryTiff::write(thandle_t handle, void* data, tmsize_t size)
{
    MemoryTiff& file = self(handle);
    if (file.m_dropped || size <= 0)
        return size;
    const auto* from = static_cast<const std::uint8_t*>(data);
    Bytes& bytes = file.m_bytes;
    try {
        if (file.m_position > bytes.size())
            bytes.resize(file.m_position);  // a seek past the end leaves zeros
        const std::size_t at = file.m_position;
        const std::size_t over = std::min(bytes.size() - at, std::size_t(size));
        std::copy(from, from + over, bytes.begin() + std::ptrdiff_t(at));
        bytes.insert(bytes.end(), from + over, from + size);
    } catch (const std::bad_alloc&) {
        file.m_outOfMemory = true;
        return 0;  // libtiff fails the call; check() turns it into bad_alloc
    }
    file.m_position += std::uint64_t(size);
    return size;
}

toff_t MemoryTiff::seek(thandle_t handle, toff_t offset, int whence)
{
    MemoryTiff& file = self(handle);
    switch (whence) {
    case SEEK_SET: file.m_position = offset; break;
    case SEEK_CUR: file.m_position += offset; break;
    case SEEK_END: file.m_position = file.m_bytes.size() + offset; break;
    default: return toff_t(-1);
    }
    return file.m_position;
}

toff_t MemoryTiff::size(thandle_t handle) { return self(handle).m_bytes.size(); }

int MemoryTiff::close(thandle_t) { return 0; }

int MemoryTiff::map(thandle_t, void**, toff_t*) { return 0; }  // no mapping: libtiff reads

void MemoryTiff::unmap(thandle_t, void*, toff_t) {}

int MemoryTiff::error(TIFF*, void* handle, const char* module, const char* format, va_list arguments)
{
    MemoryTiff& file = *static_cast<MemoryTiff*>(handle);
    if (!file.m_dropped) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, arguments);
        try {
            file.m_error = module && *module ? std::string(module) + ": " + text : std::string(text);
        } catch (const std::bad_alloc&) {
            file.m_outOfMemory = true;  // nothing may be thrown through libtiff
        }
    }
    return 1;  // handled: libtiff's process-wide handlers are not called
}

int MemoryTiff::warning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;  // a warning about a file we write ourselves tells nobody anything
}

}  // namespace quarbel::codecs::tiff
