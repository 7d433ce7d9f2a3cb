#pragma once
// What quarbel-batch needs from the console: whether an output stream is a terminal, and
// Ctrl-C turned into a cancel request.

#include <cstdio>

namespace quarbel::cli {

bool isTerminal(std::FILE* stream);

// After this, SIGINT only raises a flag and wakes the event loop of the application's thread,
// so that a job waiting for a picture's work sees it at once (a second Ctrl-C ends the
// program at once). Call it on that thread, after the QCoreApplication is made.
void installInterruptHandler();
bool interruptRequested();

}  // namespace quarbel::cli
