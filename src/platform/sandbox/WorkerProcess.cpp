#include "platform/sandbox/WorkerProcess.h"

#include "platform/sandbox/Spawn.h"
#include "platform/sandbox/WorkerChannel.h"
#include "platform/sandbox/Zygote.h"
#include "platform/sandbox/WorkerMain.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace quarbel::platform::sandbox {

namespace {

// Said once a process on standard error (the desktop's journal for the window) where the
// kernel gave a worker neither seccomp nor Landlock or only one of them: the decoders then
// run with less between them and the user's files.
void warnOnceIfPartlyConfined(Confinement confinement)
{
    if ((confinement & kSeccomp) && (confinement & kLandlock))
        return;
    static std::once_flag said;
    std::call_once(said, [confinement] {
        std::fprintf(stderr, "quarbel: the picture decoders run confined only by: %s\n",
                     confinementText(confinement).c_str());
    });
}

const std::string kNotDecoded = "the picture could not be decoded: ";

std::string stoppedText(int status)
{
    if (status >= 0 && WIFSIGNALED(status))
        return "the decoder stopped (signal " + std::to_string(WTERMSIG(status)) + ")";
    if (status >= 0 && WIFEXITED(status))
        return "the decoder stopped (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
    return "the decoder stopped";
}

std::string seconds(std::chrono::milliseconds time)
{
    const auto ms = time.count();
    if (ms % 1000 == 0)
        return std::to_string(ms / 1000);
    return std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100);
}

// Waits for the socket to have something (or to close) until the deadline; false on timeout.
bool waitReadable(int socket, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd watched{socket, POLLIN, 0};
        const int ready = ::poll(&watched, 1, int(std::min<long long>(left.count(), 60'000)));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return true;  // let the read find out what is wrong
    }
}

}  // namespace

std::string cleanedReason(std::string text)
{
    constexpr std::size_t kLongest = 500;
    if (text.size() > kLongest)
        text.resize(kLongest);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    }
    return text;
}

WorkerProcess::WorkerProcess(WorkerOptions options) : m_options(std::move(options)) {}

WorkerProcess::~WorkerProcess() { stop(); }

bool WorkerProcess::running() const
{
    std::lock_guard lock(m_mutex);
    return m_pid > 0;
}

bool WorkerProcess::launch(std::string& reason)
{
    if (running())
        return true;
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
        reason = std::string("the decoder could not be started: ") + std::strerror(errno);
        return false;
    }
    const std::vector<std::string> arguments{"--address-space=" + std::to_string(m_options.addressSpaceBytes),
                                             "--file-size=" + std::to_string(m_options.maxOutputBytes)};
    std::string why;
    // A zygote's copy where there is one of this program; it may have ended (its reason is
    // then dropped: spawning is the same worker, only slower to start).
    const bool copied = m_options.zygote && m_options.zygote->program() == m_options.program;
    pid_t pid = copied ? m_options.zygote->makeWorker(pair[1], arguments, why) : -1;
    if (pid < 0)
        pid = spawnWithChannel(m_options.program, arguments, pair[1], why);
    ::close(pair[1]);
    if (pid < 0) {
        ::close(pair[0]);
        reason = "the decoder could not be started: " + why;
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_pid = pid;
    m_socket = pair[0];
    m_ready = false;
    return true;
}

bool WorkerProcess::start(std::string& reason)
{
    if (running() && m_ready)
        return true;
    if (!launch(reason))
        return false;
    Message hello;
    const bool answered = waitReadable(m_socket, std::chrono::steady_clock::now() + m_options.startTimeout);
    if (!answered || receiveMessage(m_socket, hello) != Received::Message ||
        hello.kind != MessageKind::Hello) {
        if (hello.fd >= 0)
            ::close(hello.fd);
        const int status = stop();
        reason = "the decoder could not be started: " +
                 (answered ? stoppedText(status) : std::string("it did not answer"));
        return false;
    }
    m_ready = true;
    m_confinement = hello.value;
    warnOnceIfPartlyConfined(m_confinement);
    return true;
}

void WorkerProcess::idle()
{
    bool killed;
    {
        std::lock_guard lock(m_mutex);
        m_busy = false;
        killed = m_cancelled;
    }
    // A cancel that came as the answer arrived killed the worker: reap it now, so that the
    // next item starts a fresh one instead of failing on the dead one.
    if (killed)
        stop();
}

int WorkerProcess::stop()
{
    std::lock_guard lock(m_mutex);
    int status = -1;
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
    }
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
    m_ready = false;
    m_busy = false;
    return status;
}

void WorkerProcess::cancel()
{
    std::lock_guard lock(m_mutex);
    if (m_busy && m_pid > 0) {
        m_cancelled = true;
        ::kill(m_pid, SIGKILL);
    }
}

WorkResult WorkerProcess::run(std::string_view operation, SharedBuffer input, Cancellation* cancellation)
{
    WorkResult result;
    std::string reason;
    if (!start(reason)) {
        result.outcome = WorkOutcome::NotStarted;
        result.reason = reason;
        return result;
    }
    {
        std::lock_guard lock(m_mutex);
        m_busy = true;
        m_cancelled = false;
    }
    // Busy first, so that a cancel from the moment the cancellation knows this worker kills it.
    if (cancellation && !cancellation->attach(this)) {
        std::lock_guard lock(m_mutex);
        m_busy = false;
        result.outcome = WorkOutcome::Cancelled;
        result.reason = "cancelled";
        return result;
    }
    result = exchange(operation, std::move(input));
    if (cancellation)
        cancellation->detach();
    return result;
}

WorkResult WorkerProcess::exchange(std::string_view operation, SharedBuffer input)
{
    WorkResult result;
    const auto deadline = std::chrono::steady_clock::now() + m_options.timeout;
    const int sent =
        sendMessage(m_socket, {MessageKind::Work, input.size(), std::string(operation), input.fd()});
    input = SharedBuffer();  // the worker has its own descriptor now

    Message reply;
    Received received = Received::Closed;
    if (sent == 0) {
        if (!waitReadable(m_socket, deadline)) {
            stop();
            result.outcome = WorkOutcome::TimedOut;
            result.reason = kNotDecoded + "the decoder took longer than " + seconds(m_options.timeout) + " s";
            return result;
        }
        received = receiveMessage(m_socket, reply);
    }
    if (received == Received::Message && reply.kind == MessageKind::Done) {
        result.output =
            SharedBuffer::adoptSealed(reply.fd, m_options.maxOutputBytes, SharedBuffer::Mapping::WhenTouched);
        if (result.output.valid()) {
            result.outcome = WorkOutcome::Done;
            idle();
            return result;
        }
        received = Received::Broken;
    } else if (received == Received::Message && reply.kind == MessageKind::Failed) {
        result.outcome = WorkOutcome::Failed;
        result.reason = cleanedReason(reply.text);
        idle();
        return result;
    } else if (reply.fd >= 0) {
        ::close(reply.fd);
    }
    // The worker died, or said something out of turn: it is not trusted with another item.
    bool cancelled;
    {
        std::lock_guard lock(m_mutex);
        cancelled = m_cancelled;
    }
    const int status = stop();
    if (cancelled) {
        result.outcome = WorkOutcome::Cancelled;
        result.reason = "cancelled";
    } else if (received == Received::Closed) {
        result.outcome = WorkOutcome::Stopped;
        result.reason = kNotDecoded + stoppedText(status);
    } else {
        result.outcome = WorkOutcome::Stopped;
        result.reason = kNotDecoded + "the decoder gave an answer that is not understood";
    }
    return result;
}

void Cancellation::cancel()
{
    std::lock_guard lock(m_mutex);
    m_cancelled = true;
    if (m_worker)
        m_worker->cancel();
}

bool Cancellation::cancelled() const
{
    std::lock_guard lock(m_mutex);
    return m_cancelled;
}

bool Cancellation::attach(WorkerProcess* worker)
{
    std::lock_guard lock(m_mutex);
    m_worker = worker;
    return !m_cancelled;
}

void Cancellation::detach()
{
    std::lock_guard lock(m_mutex);
    m_worker = nullptr;
}

}  // namespace quarbel::platform::sandbox
