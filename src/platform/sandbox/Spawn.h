#pragma once
// Starts a worker executable (or the zygote that makes workers) as a child of the program
// with its end of a socket as descriptor 3 and nothing else of the program's.

#include <sys/types.h>

#include <string>
#include <vector>

namespace quarbel::platform::sandbox {

// The child's pid, or -1 with reason. channel is the child's end of the socket; the caller
// still closes its own copy.
pid_t spawnWithChannel(const std::string& program, const std::vector<std::string>& arguments, int channel,
                       std::string& reason);

}  // namespace quarbel::platform::sandbox
