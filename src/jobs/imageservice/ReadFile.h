#pragma once
// Reading a whole file into memory, refusing what is not a regular file.

#include "jobs/imageservice/ImageService.h"

namespace quarbel::imageservice {

// The largest file read (the pixel limit stops pictures long before this).
inline constexpr std::uint64_t kMaxFileBytes = 2ull << 30;

Result readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);

}  // namespace quarbel::imageservice
