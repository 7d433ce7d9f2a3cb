#include "cli/Console.h"

#include <fcntl.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

namespace quarbel::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;
int wakeFd = -1;  // the write end of a pipe the event loop watches

extern "C" void onInterrupt(int)
{
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
    if (wakeFd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd, &byte, 1);
    }
}

// A job waiting for a large picture sleeps in the event loop; the byte written by the
// handler wakes it, so that Ctrl-C is seen at once and the picture's work is cancelled.
void watchForInterrupt()
{
    if (!QCoreApplication::instance())
        return;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(fds[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [fd = fds[0]] {
        char bytes[16];
        while (::read(fd, bytes, sizeof bytes) > 0) {
        }
    });
    wakeFd = fds[1];
}

}  // namespace

bool isTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }

void installInterruptHandler()
{
    watchForInterrupt();
    std::signal(SIGINT, onInterrupt);
}

bool interruptRequested() { return interrupted != 0; }

}  // namespace quarbel::cli
