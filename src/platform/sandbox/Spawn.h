#pragma once
// Starts a worker executable (or the zygote that makes workers) as a child of the program
// with its end of a socket as descriptor 3 and nothing else of the program's; or, in a child
// the program forked to be its zygote, sets up the same.

#include <sys/types.h>

#include <string>
#include <vector>

namespace quarbel::platform::sandbox {

// The child's pid, or -1 with reason. channel is the child's end of the socket; the caller
// still closes its own copy.
pid_t spawnWithChannel(const std::string& program, const std::vector<std::string>& arguments, int channel,
                       std::string& reason);

// In a child forked from the program: channel becomes descriptor 3, standard input and
// output /dev/null, every other descriptor is closed, the signals the program inherited as
// ignored or blocked are restored, and the child gets a process group and the name
// quarbel-worker of its own, as a spawned worker has. False if the channel cannot be moved.
bool becomeWorkerChild(int channel);

}  // namespace quarbel::platform::sandbox
