#pragma once
// Reading a whole file into memory, refusing what is not a regular file.

#include "platform/files/FileResult.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarbel::platform::files {

// The largest file read (the pixel limit stops pictures long before this).
inline constexpr std::uint64_t kMaxFileBytes = 2ull << 30;

FileResult readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);

}  // namespace quarbel::platform::files
