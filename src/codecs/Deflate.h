#pragma once
// A libdeflate compressor of one level, for the PNG writer (libdeflate compresses
// about twice as fast as zlib and a few percent smaller at the same level).

#include "codecs/ByteOrder.h"

#include <cstddef>
#include <cstdint>

struct libdeflate_compressor;

namespace quarbel::codecs {

class Deflate {
public:
    explicit Deflate(int level);  // throws std::bad_alloc
    ~Deflate();
    Deflate(const Deflate&) = delete;
    Deflate& operator=(const Deflate&) = delete;

    // The most bytes the zlib stream of `size` bytes can take.
    std::size_t zlibBound(std::size_t size) const;
    // Compresses into room of zlibBound(size) bytes; returns the stream's length.
    std::size_t zlib(const std::uint8_t* data, std::size_t size, std::uint8_t* room,
                     std::size_t roomSize) const;
    // Appends the zlib stream of data to out. The compressor needs room for its worst case,
    // about the size of the data; that room is taken untouched from the system, so only the
    // pages it actually writes ever use memory.
    void appendZlib(const std::uint8_t* data, std::size_t size, Bytes& out) const;

private:
    libdeflate_compressor* m_compressor;
};

}  // namespace quarbel::codecs
