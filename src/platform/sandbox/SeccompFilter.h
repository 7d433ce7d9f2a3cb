#pragma once
// The worker's seccomp filter (libseccomp). It allows by default and refuses a list: the
// decoders run on libvips, GLib, libheif, aom, libjpeg, libpng, libtiff, OpenMP and the C
// library, whose system calls change with each of their versions and with the sanitizers;
// an allow list would fail pictures after any library update, while what a hijacked decoder
// needs to do harm is a short, stable list of calls that no decoder makes. Each refused
// call fails with EPERM (clone3 with ENOSYS, so the C library falls back to clone, whose
// flags the filter can see), so a library that merely probes goes on; calls of another
// architecture's table end the process.
//
// Refused: every socket call that makes or joins a connection, exec, ptrace and other
// processes' memory, new processes (threads are allowed), signals to other processes,
// raising resource limits, mounts and namespaces, opening a file for writing and every call
// that changes the file system, kernel keyrings, BPF, perf, userfaultfd, io_uring (whose
// calls the filter would not see), module loading, and the terminal's input injection.

namespace quarbel::platform::sandbox {

// Installs the filter on every thread of the process; 0 or an errno value.
int installSeccompFilter();

}  // namespace quarbel::platform::sandbox
