#pragma once
// Writing a whole file so that nobody ever sees a partial one: the bytes go to a temporary
// file in the target's folder, and only a complete file is moved to the target's name.

#include "platform/files/FileResult.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarbel::platform::files {

FileResult writeFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size,
                               WriteMode mode);

}  // namespace quarbel::platform::files
