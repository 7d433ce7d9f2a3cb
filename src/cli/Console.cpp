#include "cli/Console.h"

#include <csignal>
#include <unistd.h>

namespace quarbel::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) {
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}

}  // namespace

bool isTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }

void installInterruptHandler() { std::signal(SIGINT, onInterrupt); }

bool interruptRequested() { return interrupted != 0; }

}  // namespace quarbel::cli
