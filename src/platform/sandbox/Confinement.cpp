#include "platform/sandbox/Confinement.h"

#include "platform/sandbox/Landlock.h"
#include "platform/sandbox/SeccompFilter.h"

#include <sys/prctl.h>
#include <sys/resource.h>

namespace quarbel::platform::sandbox {

namespace {

// What a decoder may read: the libraries it loads late (libvips' modules, libheif's
// plugins), fonts and their configuration, colour profiles and the worker's own /proc
// entries. Nothing under a home folder, /tmp, /media or /mnt.
constexpr const char* kReadablePaths[] = {"/usr",           "/lib",        "/lib64",
                                          "/lib32",         "/etc/fonts",  "/etc/ld.so.cache",
                                          "/etc/localtime", "/proc/self",  "/sys/devices/system/cpu",
                                          "/dev/null",      "/dev/urandom"};

// Sanitizer builds reserve terabytes of address space for their shadow memory.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kAddressSpaceLimitFits = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
constexpr bool kAddressSpaceLimitFits = false;
#else
constexpr bool kAddressSpaceLimitFits = true;
#endif
#else
constexpr bool kAddressSpaceLimitFits = true;
#endif

bool setLimit(int resource, rlim_t value)
{
    const rlimit limit{value, value};
    return ::setrlimit(resource, &limit) == 0;
}

}  // namespace

Confinement confineThisProcess(const ConfinementLimits& limits)
{
    Confinement confinement = 0;
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0)
        confinement |= kNoNewPrivileges;
    // Not dumpable: no core file of a picture's bytes, and no other process of the user may
    // attach to the worker.
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);

    bool limited = setLimit(RLIMIT_CORE, 0);
    if (limits.addressSpaceBytes != 0 && kAddressSpaceLimitFits)
        limited = setLimit(RLIMIT_AS, rlim_t(limits.addressSpaceBytes)) && limited;
    if (limits.fileSizeBytes != 0)
        limited = setLimit(RLIMIT_FSIZE, rlim_t(limits.fileSizeBytes)) && limited;
    if (limited)
        confinement |= kResourceLimits;

    if (const int abi = restrictToReadOnly(kReadablePaths); abi > 0)
        confinement |= kLandlock | (Confinement(abi) << 8);
    // Seccomp needs no new privileges (or CAP_SYS_ADMIN); it comes last, since it refuses
    // raising limits.
    if ((confinement & kNoNewPrivileges) && installSeccompFilter() == 0)
        confinement |= kSeccomp;
    return confinement;
}

std::string confinementText(Confinement confinement)
{
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (!(confinement & (kSeccomp | kLandlock)))
        add("a separate process without seccomp or Landlock");
    if (confinement & kSeccomp)
        add("seccomp");
    if (confinement & kLandlock)
        add("Landlock (ABI " + std::to_string(landlockAbiOf(confinement)) + ")");
    if (confinement & kNoNewPrivileges)
        add("no new privileges");
    if (confinement & kResourceLimits)
        add("resource limits");
    return text;
}

}  // namespace quarbel::platform::sandbox
