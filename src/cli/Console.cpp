#include "cli/Console.h"

#include <csignal>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace quarbel::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) {
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}

}  // namespace

bool isTerminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return ::isatty(::fileno(stream)) != 0;
#endif
}

void installInterruptHandler() { std::signal(SIGINT, onInterrupt); }

bool interruptRequested() { return interrupted != 0; }

}  // namespace quarbel::cli
