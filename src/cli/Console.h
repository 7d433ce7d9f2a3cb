#pragma once
// What quarbel-batch needs from the console: whether an output stream is a terminal, and
// Ctrl-C turned into a cancel request.

#include <cstdio>

namespace quarbel::cli {

bool isTerminal(std::FILE* stream);

// After this, SIGINT only raises a flag (a second Ctrl-C ends the program at once).
void installInterruptHandler();
bool interruptRequested();

}  // namespace quarbel::cli
