#pragma once
// Writing a whole file so that nobody ever sees a partial one: the bytes go to a temporary
// file in the target's folder, and only a complete file is moved to the target's name.

#include "jobs/imageservice/ImageService.h"

namespace quarbel::imageservice {

Result writeFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size,
                           SaveMode mode);

}  // namespace quarbel::imageservice
