#pragma once
// A file's bytes put into shared memory for a worker, without passing through the program's
// own memory: the kernel copies them from the file into the memory file (sendfile), so a
// 200 MB picture does not add 200 MB to the window's footprint on its way to a worker.

#include "platform/sandbox/SharedBuffer.h"

#include <cstdint>
#include <string>

namespace quarbel::platform::sandbox {

enum class LongerFile {
    Refuse,  // a file longer than the most is an error
    Cut,     // only its first bytes are taken (enough for a header)
};

// The bytes of the ordinary file at path (a pipe, device or folder is refused, so that
// reading never blocks), at most `most` of them. An empty buffer and reason when it cannot
// be read.
SharedBuffer fileBytes(const std::string& path, std::uint64_t most, LongerFile longer, std::string& reason);

}  // namespace quarbel::platform::sandbox
