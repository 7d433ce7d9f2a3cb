#pragma once
// A libtiff handle that writes a file into memory. libtiff's errors and warnings stay with
// the handle: they never reach the terminal or libtiff's process-wide handlers (so handles on
// several threads do not meet), and a failed call becomes a Failure carrying libtiff's reason,
// or std::bad_alloc when the file's bytes found no memory.

#include "codecs/ByteOrder.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdint>
#include <string>

namespace quarbel::codecs::tiff {

// Classic TIFF has 32-bit offsets (files up to 4 GiB); BigTIFF 64-bit ones.
enum class Variant { Classic, Big };

class MemoryTiff {
public:
    // reserve: bytes to set aside for the file at once, so that it does not grow by copying.
    MemoryTiff(Variant variant, std::size_t reserve);
    ~MemoryTiff();  // an unfinished file is dropped without libtiff writing more of it
    MemoryTiff(const MemoryTiff&) = delete;
    MemoryTiff& operator=(const MemoryTiff&) = delete;

    TIFF* handle() const { return m_tiff; }
    // Throws unless ok, naming what failed and libtiff's reason.
    void check(bool ok, const char* what);
    // Closes the file, libtiff writing what it still holds, and hands over its bytes.
    Bytes take();

private:
    static tmsize_t read(thandle_t self, void* data, tmsize_t size);
    static tmsize_t write(thandle_t self, void* data, tmsize_t size);
    static toff_t seek(thandle_t self, toff_t offset, int whence);
    static toff_t size(thandle_t self);
    static int close(thandle_t self);
    static int map(thandle_t self, void** base, toff_t* size);
    static void unmap(thandle_t self, void* base, toff_t size);
    static int error(TIFF*, void* self, const char* module, const char* format, va_list arguments);
    static int warning(TIFF*, void* self, const char* module, const char* format, va_list arguments);

    Bytes m_bytes;
    std::uint64_t m_position = 0;
    bool m_outOfMemory = false;
    bool m_dropped = false;  // writes are ignored once the file is given up
    std::string m_error;     // libtiff's latest complaint: the reason a call failed
    TIFF* m_tiff = nullptr;
};

}  // namespace quarbel::codecs::tiff
