// quarbel-worker with a decoder that misbehaves on request, for the job tests: a source
// whose bytes begin "HOSTILE " followed by a hook crashes the worker, aborts it, spins or
// writes into the folder named after the hook, for an item or a preview alike; every other
// source is worked as quarbel-worker works it.

#include "jobs/worker/ItemWorker.h"
#include "jobs/worker/PreviewRequest.h"

#include <fcntl.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace sandbox = quarbel::platform::sandbox;

namespace {

namespace worker = quarbel::jobs::worker;

worker::ItemAnswer hostile(std::string_view request, std::span<const std::uint8_t> source)
{
    const std::string_view text(reinterpret_cast<const char*>(source.data()), source.size());
    if (!text.starts_with("HOSTILE "))
        return worker::workOne(request, source);
    const std::string hook(text.substr(8, text.find('\n') - 8));
    if (hook == "crash")
        *static_cast<volatile int*>(nullptr) = 1;
    if (hook == "abort")
        std::abort();
    if (hook == "spin") {
        std::atomic<unsigned> turns{0};
        for (;;)
            turns.fetch_add(1, std::memory_order_relaxed);
    }
    if (hook.starts_with("write ")) {
        const int fd = ::open(hook.substr(6).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return {sandbox::HandlerStatus::Failed, std::string("refused: ") + std::strerror(errno), {}};
        ::close(fd);
    }
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    return sandbox::runWorker(
        argc, argv,
        [](std::string_view operation, std::span<const std::uint8_t> input, sandbox::SharedBuffer& output) {
            // A preview meets the same hooks as an item.
            const std::string_view text(reinterpret_cast<const char*>(input.data()), input.size());
            if (worker::isPreviewRequest(operation) && text.starts_with("HOSTILE ")) {
                const worker::ItemAnswer answer = hostile(operation, input);
                return sandbox::HandlerResult{answer.status, answer.reason};
            }
            return worker::serve(operation, input, output, hostile);
        });
}
