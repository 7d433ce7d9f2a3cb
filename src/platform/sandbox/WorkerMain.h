#pragma once
// The worker process's side: the main loop of a worker executable. The program starts the
// executable with its end of the socket as descriptor 3 and its limits on the command line;
// the worker confines itself before anything else (Confinement.h), says Hello, and then
// serves Work messages one at a time with the handler until the program hangs up. A worker
// whose program goes away ends at once, even in the middle of an item.

#include "platform/sandbox/SharedBuffer.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace quarbel::platform::sandbox {

enum class HandlerStatus { Done, Failed };

struct HandlerResult {
    HandlerStatus status = HandlerStatus::Done;
    std::string text;  // the reason when Failed
};

// Works one item: reads the input, fills output (a writable, empty buffer to be resized).
// Exceptions are caught and fail the item.
using WorkerHandler = std::function<HandlerResult(std::string_view operation,
                                                  std::span<const std::uint8_t> input, SharedBuffer& output)>;

// Runs a worker; returns the process's exit status. The handler runs after confinement.
// Started with kZygoteArgument, the executable is a zygote instead (Zygote.h): it runs
// prepare, the start-up its workers would otherwise each do, and then makes workers as
// copies of itself, each of which goes on as a worker. prepare must leave the process with
// one thread (it is copied): a zygote that has more ends, and its workers are spawned.
int runWorker(int argc, char** argv, const WorkerHandler& handler, const std::function<void()>& prepare = {});

inline constexpr std::string_view kZygoteArgument = "--zygote";

// The descriptor a worker finds its socket at.
inline constexpr int kWorkerChannelFd = 3;

}  // namespace quarbel::platform::sandbox
