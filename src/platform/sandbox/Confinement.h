#pragma once
// What a worker process does to itself before it reads a byte of a picture, so that a
// decoder taken over by a hostile file can do little more than fail its item:
// - no new privileges (PR_SET_NO_NEW_PRIVS) and not dumpable, no core files;
// - resource limits: the address space (a picture that asks for endless memory fails) and
//   the size of the files it makes (its reply cannot be a sparse giant for the program);
//   an item's time is watched by the program, which kills a worker that overruns;
// - Landlock: read-only access to the system's library, font and colour-profile folders,
//   none to the user's files, no TCP, no signals or abstract sockets outside the worker;
// - a seccomp filter refusing what a decoder never needs: sockets, exec, ptrace, other
//   processes' memory, new processes, mounts, file-system changes (see SeccompFilter.h).
// Each layer that the kernel lacks is left out and the rest still apply; the worker is a
// separate process whatever happens, so a crash fails one item. The worker reports what it
// got in its first message, and confinementText() says it for --version and the log.

#include <cstdint>
#include <string>

namespace quarbel::platform::sandbox {

// The layers in force, as flags, with Landlock's ABI version in bits 8 to 15.
enum ConfinementFlag : std::uint64_t {
    kNoNewPrivileges = 1u << 0,
    kResourceLimits = 1u << 1,
    kLandlock = 1u << 2,
    kSeccomp = 1u << 3,
};
using Confinement = std::uint64_t;

inline int landlockAbiOf(Confinement c) { return int((c >> 8) & 0xff); }

struct ConfinementLimits {
    std::uint64_t addressSpaceBytes = 0;  // 0: no limit
    // The largest file the worker may make, its replies' memory files included (the kernel
    // checks memory files' sizes against it too); 0: no limit.
    std::uint64_t fileSizeBytes = 0;
};

// Confines the calling process; call it while it has one thread only, since Landlock binds
// the calling thread and the threads it starts afterwards.
Confinement confineThisProcess(const ConfinementLimits& limits);

// "seccomp, Landlock (ABI 7), no new privileges, resource limits"; it begins "a separate
// process without seccomp or Landlock" when the kernel gave neither.
std::string confinementText(Confinement confinement);

}  // namespace quarbel::platform::sandbox
