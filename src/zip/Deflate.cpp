#include "zip/Deflate.h"

#include <zlib.h>

namespace quarbel::zip {
namespace {
constexpr qsizetype kZlibHeader = 2;
constexpr qsizetype kAdlerTrailer = 4;
}  // namespace

std::uint32_t crc32Of(const QByteArray& data)
{
    const auto seed = crc32_z(0L, Z_NULL, 0);
    return static_cast<std::uint32_t>(
        crc32_z(seed, reinterpret_cast<const Bytef*>(data.constData()), static_cast<z_size_t>(data.size())));
}

Result rawDeflate(const QByteArray& data, QByteArray& out)
{
    const uLong sourceLength = static_cast<uLong>(data.size());
    QByteArray buffer(static_cast<qsizetype>(compressBound(sourceLength)), Qt::Uninitialized);
    uLongf length = static_cast<uLongf>(buffer.size());
    const int status = compress(reinterpret_cast<Bytef*>(buffer.data()), &length,
                                reinterpret_cast<const Bytef*>(data.constData()), sourceLength);
    if (status != Z_OK || length < static_cast<uLongf>(kZlibHeader + kAdlerTrailer)) {
        return Result::failure(
            Error::CompressFailed,
            status == Z_MEM_ERROR
                ? QStringLiteral("not enough memory to compress the file")
                : QStringLiteral("zlib could not compress the file (error %1)").arg(status));
    }
    buffer.truncate(static_cast<qsizetype>(length) - kAdlerTrailer);
    buffer.remove(0, kZlibHeader);
    out = std::move(buffer);
    return Result::success();
}

}  // namespace quarbel::zip
