#include "platform/sandbox/Landlock.h"

#include <fcntl.h>
#include <linux/landlock.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <cstdint>

namespace quarbel::platform::sandbox {

namespace {

// Access rights newer than the system's headers may know, by the ABI that brought them.
constexpr std::uint64_t kFsRefer = 1ull << 13;     // ABI 2
constexpr std::uint64_t kFsTruncate = 1ull << 14;  // ABI 3
constexpr std::uint64_t kFsIoctlDev = 1ull << 15;  // ABI 5
constexpr std::uint64_t kNetBindTcp = 1ull << 0;   // ABI 4
constexpr std::uint64_t kNetConnectTcp = 1ull << 1;
constexpr std::uint64_t kScopeAbstractUnixSocket = 1ull << 0;  // ABI 6
constexpr std::uint64_t kScopeSignal = 1ull << 1;

// The ruleset's attributes as the newest kernels read them; older kernels are given the
// leading part they know.
struct RulesetAttributes {
    std::uint64_t handledAccessFs;
    std::uint64_t handledAccessNet;
    std::uint64_t scoped;
};

struct PathBeneath {
    std::uint64_t allowedAccess;
    std::int32_t parentFd;
} __attribute__((packed));

constexpr std::uint64_t kFsAbi1 = (1ull << 13) - 1;  // execute .. make symlink
constexpr std::uint64_t kReadFile = LANDLOCK_ACCESS_FS_READ_FILE;
constexpr std::uint64_t kReadDir = LANDLOCK_ACCESS_FS_READ_DIR;

std::uint64_t handledFsRights(int abi)
{
    std::uint64_t rights = kFsAbi1;
    if (abi >= 2)
        rights |= kFsRefer;
    if (abi >= 3)
        rights |= kFsTruncate;
    if (abi >= 5)
        rights |= kFsIoctlDev;
    return rights;
}

struct Fd {
    int fd;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

}  // namespace

int landlockAbi()
{
    const long abi = ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    return abi > 0 ? int(abi) : 0;
}

int restrictToReadOnly(std::span<const char* const> readablePaths)
{
    const int abi = landlockAbi();
    if (abi == 0)
        return 0;
    RulesetAttributes attributes{handledFsRights(abi), 0, 0};
    std::size_t attributesSize = sizeof attributes.handledAccessFs;
    if (abi >= 4) {
        attributes.handledAccessNet = kNetBindTcp | kNetConnectTcp;
        attributesSize += sizeof attributes.handledAccessNet;
    }
    if (abi >= 6) {
        attributes.scoped = kScopeAbstractUnixSocket | kScopeSignal;
        attributesSize += sizeof attributes.scoped;
    }
    Fd ruleset{int(::syscall(SYS_landlock_create_ruleset, &attributes, attributesSize, 0))};
    if (ruleset.fd < 0)
        return 0;
    for (const char* path : readablePaths) {
        Fd target{::open(path, O_PATH | O_CLOEXEC)};
        struct stat st;
        if (target.fd < 0 || ::fstat(target.fd, &st) != 0)
            continue;
        // A rule on a file may name only rights that apply to files.
        PathBeneath rule{S_ISDIR(st.st_mode) ? kReadFile | kReadDir : kReadFile, target.fd};
        if (::syscall(SYS_landlock_add_rule, ruleset.fd, LANDLOCK_RULE_PATH_BENEATH, &rule, 0) != 0)
            return 0;
    }
    if (::syscall(SYS_landlock_restrict_self, ruleset.fd, 0) != 0)
        return 0;
    return abi;
}

}  // namespace quarbel::platform::sandbox
