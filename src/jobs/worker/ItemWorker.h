#pragma once
// The work of one item inside a worker process: the source file's bytes in, the finished
// output file's bytes out, through the same Image Service calls the program made itself
// before workers (LoadBytes, then Apply of the job's chain), so outputs are the same bytes.

#include "platform/sandbox/WorkerMain.h"

namespace quarbel::jobs::worker {

platform::sandbox::HandlerResult workItem(std::string_view request, std::span<const std::uint8_t> source,
                                          platform::sandbox::SharedBuffer& output);

}  // namespace quarbel::jobs::worker
