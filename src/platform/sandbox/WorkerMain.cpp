#include "platform/sandbox/WorkerMain.h"

#include "platform/ThreadSanitizer.h"
#include "platform/sandbox/Confinement.h"
#include "platform/sandbox/WorkerChannel.h"

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

#ifdef QUARBEL_THREAD_SANITIZER
#include <sanitizer/common_interface_defs.h>
#endif

namespace quarbel::platform::sandbox {

namespace {

constexpr std::uint64_t kMaxInputBytes = 4ull << 30;

ConfinementLimits limitsFromArguments(int argc, char** argv)
{
    ConfinementLimits limits;
    constexpr std::string_view kAddressSpace = "--address-space=", kFileSize = "--file-size=";
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with(kAddressSpace))
            limits.addressSpaceBytes = std::strtoull(argv[i] + kAddressSpace.size(), nullptr, 10);
        if (argument.starts_with(kFileSize))
            limits.fileSizeBytes = std::strtoull(argv[i] + kFileSize.size(), nullptr, 10);
    }
    return limits;
}

// ThreadSanitizer names the functions in its reports through a symbolizer process that it
// starts when it first needs a name. A confined worker can start no process, so its reports
// would show bare addresses and suppressions by function name would never match them: ask
// for one name before the confinement, so that the symbolizer is already running. (The
// symbolizer closes every inherited descriptor but the standard ones, so it keeps no end of
// the socket open.)
void startSymbolizer()
{
#ifdef QUARBEL_THREAD_SANITIZER
    char name[256];
    __sanitizer_symbolize_pc(reinterpret_cast<void*>(&startSymbolizer), "%f", name, sizeof name);
#endif
}

// Ends the worker when the program closes its end of the socket, whatever the item in hand
// is doing (a spinning decoder included).
void watchForHangUp()
{
    std::thread([] {
        pollfd watched{kWorkerChannelFd, POLLRDHUP, 0};
        while (::poll(&watched, 1, -1) < 0) {
        }
        ::_exit(0);
    }).detach();
}

HandlerResult work(const WorkerHandler& handler, const Message& request, SharedBuffer& output)
{
    SharedBuffer input = SharedBuffer::adoptSealed(request.fd, kMaxInputBytes);
    if (!input.valid())
        return {HandlerStatus::Failed, input.error()};
    output = SharedBuffer::create(0);
    if (!output.valid())
        return {HandlerStatus::Failed, output.error()};
    try {
        return handler(request.text, input.bytes(), output);
    } catch (const std::bad_alloc&) {
        return {HandlerStatus::Failed, "not enough memory"};
    } catch (const std::exception& e) {
        return {HandlerStatus::Failed, e.what()};
    } catch (...) {
        return {HandlerStatus::Failed, "the decoder failed"};
    }
}

}  // namespace

int runWorker(int argc, char** argv, const WorkerHandler& handler)
{
    // Nothing but the standard streams and the socket is inherited; make sure of it.
    ::syscall(SYS_close_range, kWorkerChannelFd + 1, ~0u, 0);
    startSymbolizer();
    const Confinement confinement = confineThisProcess(limitsFromArguments(argc, argv));
    if (sendMessage(kWorkerChannelFd, {MessageKind::Hello, confinement, {}, -1}) != 0)
        return 1;
    watchForHangUp();
    for (;;) {
        Message request;
        const Received received = receiveMessage(kWorkerChannelFd, request);
        if (received == Received::Closed)
            ::_exit(0);
        if (received != Received::Message || request.kind != MessageKind::Work)
            ::_exit(2);
        SharedBuffer output;
        const HandlerResult result = work(handler, request, output);
        const Message reply = result.status == HandlerStatus::Done
                                  ? Message{MessageKind::Done, output.size(), result.text, output.fd()}
                                  : Message{MessageKind::Failed, 0, result.text, -1};
        if (sendMessage(kWorkerChannelFd, reply) != 0)
            ::_exit(0);
    }
}

}  // namespace quarbel::platform::sandbox
