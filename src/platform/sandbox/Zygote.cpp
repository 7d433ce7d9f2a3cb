#include "platform/sandbox/Zygote.h"

#include "platform/ThreadSanitizer.h"
#include "platform/sandbox/Spawn.h"
#include "platform/sandbox/SystemFacts.h"
#include "platform/sandbox/WorkerChannel.h"
#include "platform/sandbox/WorkerMain.h"

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quarbel::platform::sandbox {

namespace {

// How long the first request waits for the zygote to have linked and started (and any
// request for its answer, which comes at once from a zygote that works).
constexpr int kStartMilliseconds = 30'000;

bool readable(int socket, int milliseconds)
{
    pollfd watched{socket, POLLIN, 0};
    int ready;
    while ((ready = ::poll(&watched, 1, milliseconds)) < 0 && errno == EINTR) {
    }
    return ready > 0;
}

}  // namespace

std::shared_ptr<Zygote> Zygote::start(const std::string& program, std::string& reason)
{
#ifdef QUARBEL_THREAD_SANITIZER
    reason = "no zygote under ThreadSanitizer";
    return nullptr;
#endif
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
        reason = std::strerror(errno);
        return nullptr;
    }
    const pid_t pid = spawnWithChannel(program, {std::string(kZygoteArgument)}, pair[1], reason);
    ::close(pair[1]);
    if (pid < 0) {
        ::close(pair[0]);
        return nullptr;
    }
    return std::shared_ptr<Zygote>(new Zygote(program, pid, pair[0]));
}

std::shared_ptr<Zygote> Zygote::forkFromThisProgram(const std::string& program,
                                                    const std::function<int()>& zygoteMain, std::string& reason)
{
#ifdef QUARBEL_THREAD_SANITIZER
    reason = "no zygote under ThreadSanitizer";
    return nullptr;
#endif
    // A copy of a process with threads could find a lock held by a thread it does not have.
    if (threadsOfThisProcess() != 1) {
        reason = "the program already has threads";
        return nullptr;
    }
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
        reason = std::strerror(errno);
        return nullptr;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pair[0]);
        ::_exit(becomeWorkerChild(pair[1]) ? zygoteMain() : 127);
    }
    const int error = errno;
    ::close(pair[1]);
    if (pid < 0) {
        ::close(pair[0]);
        reason = std::strerror(error);
        return nullptr;
    }
    return std::shared_ptr<Zygote>(new Zygote(program, pid, pair[0]));
}

Zygote::Zygote(std::string program, pid_t pid, int socket)
    : m_program(std::move(program)), m_pid(pid), m_socket(socket)
{
}

Zygote::~Zygote()
{
    std::lock_guard lock(m_mutex);
    end();
}

void Zygote::end()
{
    if (m_socket >= 0)
        ::close(m_socket);  // the zygote ends when its socket closes
    m_socket = -1;
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    m_pid = -1;
}

pid_t Zygote::makeWorker(int channel, const std::vector<std::string>& arguments, std::string& reason)
{
    std::lock_guard lock(m_mutex);
    if (m_socket < 0) {
        reason = "the zygote has ended";
        return -1;
    }
    if (!m_ready) {
        Message hello;
        m_ready = readable(m_socket, kStartMilliseconds) && receiveMessage(m_socket, hello) == Received::Message &&
                  hello.kind == MessageKind::Hello;
        if (hello.fd >= 0)
            ::close(hello.fd);
        if (!m_ready) {
            reason = "the zygote did not start";
            end();
            return -1;
        }
    }
    std::string lines;
    for (const std::string& argument : arguments)
        lines += argument + '\n';
    Message reply;
    if (sendMessage(m_socket, {MessageKind::Fork, 0, lines, channel}) != 0 ||
        !readable(m_socket, kStartMilliseconds) || receiveMessage(m_socket, reply) != Received::Message ||
        reply.kind != MessageKind::Forked || reply.value == 0) {
        if (reply.fd >= 0)
            ::close(reply.fd);
        reason = reply.kind == MessageKind::Failed ? reply.text : "the zygote has ended";
        end();
        return -1;
    }
    return pid_t(reply.value);
}

}  // namespace quarbel::platform::sandbox
