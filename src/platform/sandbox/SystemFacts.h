#pragma once
// What the programs ask of the system to set up their workers: where the worker executable
// is installed beside them, how many threads they have, and how much memory the machine has.

#include <cstdint>
#include <string>

namespace quarbel::platform::sandbox {

// The executable name in the folder relative to the running program's own folder, or ""
// when there is none.
std::string programBesideSelf(const std::string& relative, const std::string& name);

// How many threads this process has now (by /proc/self/task); 0 when unknown.
int threadsOfThisProcess();

// The machine's memory in bytes; 0 when unknown.
std::uint64_t physicalMemoryBytes();

}  // namespace quarbel::platform::sandbox
