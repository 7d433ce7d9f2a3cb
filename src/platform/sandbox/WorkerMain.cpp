#include "platform/sandbox/WorkerMain.h"

#include "platform/ThreadSanitizer.h"
#include "platform/sandbox/Confinement.h"
#include "platform/sandbox/SystemFacts.h"
#include "platform/sandbox/WorkerChannel.h"

#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sstream>
#include <thread>
#include <vector>

#ifdef QUARBEL_THREAD_SANITIZER
#include <sanitizer/common_interface_defs.h>
#endif

namespace quarbel::platform::sandbox {

namespace {

constexpr std::uint64_t kMaxInputBytes = 4ull << 30;

ConfinementLimits limitsFromArguments(const std::vector<std::string>& arguments)
{
    ConfinementLimits limits;
    constexpr std::string_view kAddressSpace = "--address-space=", kFileSize = "--file-size=";
    for (const std::string& argument : arguments) {
        if (argument.starts_with(kAddressSpace))
            limits.addressSpaceBytes = std::strtoull(argument.c_str() + kAddressSpace.size(), nullptr, 10);
        if (argument.starts_with(kFileSize))
            limits.fileSizeBytes = std::strtoull(argument.c_str() + kFileSize.size(), nullptr, 10);
    }
    return limits;
}

// A copy of this process that is the program's child, not the zygote's (CLONE_PARENT), so
// that the program reaps it and reads its wait status as for a worker it spawned. glibc's
// fork() cannot ask for that, hence the system call; the zygote has a single thread, and
// glibc asks the kernel for the thread's ID where it matters (raise, abort).
pid_t copyForTheProgram()
{
    return pid_t(::syscall(SYS_clone, CLONE_PARENT | SIGCHLD, nullptr, nullptr, nullptr, nullptr));
}

// The zygote's loop: returns in each copy with the copy's arguments, its socket moved to
// kWorkerChannelFd; the zygote itself ends when the program hangs up.
std::vector<std::string> makeWorkers(const std::function<void()>& prepare)
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (prepare)
        prepare();
    if (threadsOfThisProcess() != 1) {
        sendMessage(kWorkerChannelFd, {MessageKind::Failed, 0, "the zygote's start-up left threads", -1});
        ::_exit(3);
    }
    if (sendMessage(kWorkerChannelFd, {MessageKind::Hello, 0, {}, -1}) != 0)
        ::_exit(0);
    for (;;) {
        Message request;
        const Received received = receiveMessage(kWorkerChannelFd, request);
        if (received == Received::Closed)
            ::_exit(0);
        if (received != Received::Message || request.kind != MessageKind::Fork || request.fd < 0)
            ::_exit(2);
        const pid_t pid = copyForTheProgram();
        if (pid == 0) {
            ::dup2(request.fd, kWorkerChannelFd);  // in place of the zygote's own socket
            ::close(request.fd);
            std::vector<std::string> arguments;
            std::istringstream lines(request.text);
            for (std::string line; std::getline(lines, line);)
                arguments.push_back(line);
            return arguments;
        }
        const int error = errno;
        ::close(request.fd);
        const Message reply = pid > 0 ? Message{MessageKind::Forked, std::uint64_t(pid), {}, -1}
                                      : Message{MessageKind::Failed, 0, std::strerror(error), -1};
        if (sendMessage(kWorkerChannelFd, reply) != 0)
            ::_exit(0);
    }
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

int runWorker(int argc, char** argv, const WorkerHandler& handler, const std::function<void()>& prepare)
{
    std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    if (!arguments.empty() && arguments[0] == kZygoteArgument)
        arguments = makeWorkers(prepare);
    // Nothing but the standard streams and the socket is inherited; make sure of it.
    ::syscall(SYS_close_range, kWorkerChannelFd + 1, ~0u, 0);
    startSymbolizer();
    const Confinement confinement = confineThisProcess(limitsFromArguments(arguments));
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
