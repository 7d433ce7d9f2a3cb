#pragma once
// zlib for the ZIP writer: the CRC-32 of an entry's bytes and their raw deflate data.

#include "zip/ZipResult.h"

#include <QByteArray>
#include <cstdint>

namespace quarbel::zip {

// CRC-32 as ZIP stores it (zlib's crc32, seed 0).
std::uint32_t crc32Of(const QByteArray& data);

// Compresses with zlib's single-call compress at the default level into a buffer of
// compressBound's size (enough for any input, incompressible data included), then drops the
// 2-byte zlib header and the 4-byte Adler-32 trailer, leaving the raw deflate stream a ZIP
// entry stores. `out` receives the raw bytes.
Result rawDeflate(const QByteArray& data, QByteArray& out);

}  // namespace quarbel::zip
