#include "codecs/Deflate.h"

#include "codecs/Failure.h"

#include <libdeflate.h>

#include <cstdlib>
#include <memory>
#include <new>

namespace quarbel::codecs {

Deflate::Deflate(int level) : m_compressor(libdeflate_alloc_compressor(level))
{
    if (!m_compressor)
        throw std::bad_alloc();
}

Deflate::~Deflate() { libdeflate_free_compressor(m_compressor); }

std::size_t Deflate::zlibBound(std::size_t size) const
{
    return libdeflate_zlib_compress_bound(m_compressor, size);
}

std::size_t Deflate::zlib(const std::uint8_t* data, std::size_t size, std::uint8_t* room,
                          std::size_t roomSize) const
{
    const std::size_t n = libdeflate_zlib_compress(m_compressor, data, size, room, roomSize);
    if (n == 0)
        throw Failure("the data could not be compressed");
    return n;
}

void Deflate::appendZlib(const std::uint8_t* data, std::size_t size, Bytes& out) const
{
    const std::size_t bound = zlibBound(size);
    std::unique_ptr<std::uint8_t, decltype(&std::free)> room(static_cast<std::uint8_t*>(std::malloc(bound)),
                                                             &std::free);
    if (!room)
        throw std::bad_alloc();
    const std::size_t n = zlib(data, size, room.get(), bound);
    out.insert(out.end(), room.get(), room.get() + n);
}

}  // namespace quarbel::codecs
