#pragma once
// The ZIP format without its 64-bit extension keeps sizes and offsets in 32 bits and the
// entry count, name and comment lengths in 16 bits. These checks refuse anything that would
// not fit, so no field is ever written with a wrapped number.

#include "zip/ZipResult.h"

#include <cstdint>

namespace quarbel::zip {

inline constexpr std::uint64_t kMax16 = 0xFFFF;
inline constexpr std::uint64_t kMax32 = 0xFFFFFFFF;
inline constexpr std::uint64_t kMaxEntries = kMax16;

// One entry's own fields.
Result checkEntry(std::uint64_t uncompressedSize, std::uint64_t compressedSize, std::uint64_t nameBytes,
                  std::uint64_t commentBytes);

// The whole archive as it would be written.
struct Layout {
    std::uint64_t entries = 0;
    std::uint64_t localBytes = 0;    // all local parts: the central directory's offset
    std::uint64_t centralBytes = 0;  // all central headers with their names and comments
    std::uint64_t commentBytes = 0;  // the archive comment
};
Result checkLayout(const Layout& layout);

// The bytes an entry takes in each part of the archive.
std::uint64_t localPartSize(std::uint64_t nameBytes, std::uint64_t compressedSize);
std::uint64_t centralPartSize(std::uint64_t nameBytes, std::uint64_t commentBytes);

}  // namespace quarbel::zip
