#pragma once
// A preview's work inside a worker process: the file's bytes (or, for its size, only their
// beginning) in, the answer of PreviewRequest.h out. The same decode the window made itself
// before workers, so the picture shown is the same.

#include "platform/sandbox/WorkerMain.h"

namespace quarbel::jobs::worker {

platform::sandbox::HandlerResult workPreview(std::string_view request, std::span<const std::uint8_t> source,
                                             platform::sandbox::SharedBuffer& output);

}  // namespace quarbel::jobs::worker
