#pragma once
// Landlock through its system calls (glibc has no wrappers): the calling thread, and every
// thread and process it starts afterwards, may read the given folders and files and nothing
// else of the file system, may not write or create anything anywhere, and (where the kernel
// knows it) may not use TCP, signal processes outside its domain or reach abstract sockets.

#include <span>

namespace quarbel::platform::sandbox {

// The kernel's Landlock ABI version, 0 where Landlock is missing or disabled.
int landlockAbi();

// Restricts the calling thread; returns the ABI version in force, or 0 if that failed.
// Paths that do not exist are left out.
int restrictToReadOnly(std::span<const char* const> readablePaths);

}  // namespace quarbel::platform::sandbox
