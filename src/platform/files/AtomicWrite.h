#pragma once
// Writing a whole file so that nobody ever sees a partial one: the bytes go to a file in the
// target's folder that has no name yet, and only a complete file is given the target's name.
// Whatever ends the process meanwhile leaves nothing behind. With spares, the file comes
// from those made ahead for the folder where there is one (SpareFiles.h).

#include "platform/files/FileResult.h"
#include "platform/files/SpareFiles.h"
#include "platform/files/UnnamedFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarbel::platform::files {

FileResult writeFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size,
                               WriteMode mode, TempKind kind = TempKind::PreferUnnamed,
                               SpareFiles* spares = nullptr);
// The same with the first size bytes of sourceFd, a file open for reading, which the kernel
// copies into the new file (sendfile): they never pass through this process's memory.
FileResult writeFileAtomically(const std::string& path, int sourceFd, std::size_t size, WriteMode mode,
                               TempKind kind = TempKind::PreferUnnamed, SpareFiles* spares = nullptr);

}  // namespace quarbel::platform::files
