#include "platform/sandbox/SeccompFilter.h"

#include <fcntl.h>
#include <sched.h>
#include <seccomp.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>

namespace quarbel::platform::sandbox {

namespace {

// Refused outright. Names the running libseccomp does not know are skipped.
constexpr const char* kRefused[] = {
    // networking: the worker keeps the one socket it was given
    "socket", "socketpair", "connect", "bind", "listen", "accept", "accept4",
    // running other programs, other processes' memory, new processes
    "execve", "execveat", "ptrace", "process_vm_readv", "process_vm_writev", "kcmp", "fork", "vfork",
    "pidfd_open", "pidfd_getfd", "pidfd_send_signal", "tkill",
    // limits stay as set
    "setrlimit",
    // changing the file system
    "creat", "truncate", "rename", "renameat", "renameat2", "link", "linkat", "symlink", "symlinkat",
    "unlink", "unlinkat", "mkdir", "mkdirat", "rmdir", "mknod", "mknodat", "chmod", "fchmodat", "fchmodat2",
    "chown", "lchown", "fchownat", "utime", "utimes", "utimensat", "futimesat", "setxattr", "lsetxattr",
    "removexattr", "lremovexattr", "open_by_handle_at", "name_to_handle_at",
    // mounts and namespaces
    "mount", "umount2", "pivot_root", "chroot", "unshare", "setns", "fsopen", "fsconfig", "fsmount", "fspick",
    "move_mount", "open_tree", "mount_setattr",
    // the kernel's other doors
    "bpf", "perf_event_open", "userfaultfd", "keyctl", "add_key", "request_key", "init_module",
    "finit_module", "delete_module", "kexec_load", "kexec_file_load", "reboot", "swapon", "swapoff", "acct",
    "quotactl", "settimeofday", "clock_settime", "clock_adjtime", "adjtimex", "syslog", "fanotify_init",
    "io_uring_setup", "io_uring_enter", "io_uring_register", "iopl", "ioperm", "modify_ldt", "vhangup",
    "sethostname", "setdomainname", "uselib"};

// Flags that open a file for writing or make one.
constexpr std::uint64_t kWritingOpenFlags[] = {O_WRONLY, O_RDWR, O_CREAT, O_TRUNC, O_APPEND};

class Filter {
public:
    Filter() : m_context(seccomp_init(SCMP_ACT_ALLOW)) {}
    ~Filter()
    {
        if (m_context)
            seccomp_release(m_context);
    }
    bool valid() const { return m_context != nullptr; }
    scmp_filter_ctx context() const { return m_context; }

    int refuse(const char* name, int error = EPERM)
    {
        const int call = seccomp_syscall_resolve_name(name);
        if (call == __NR_SCMP_ERROR)
            return 0;
        return seccomp_rule_add(m_context, SCMP_ACT_ERRNO(error), call, 0);
    }
    int refuseWhen(const char* name, scmp_arg_cmp condition)
    {
        const int call = seccomp_syscall_resolve_name(name);
        if (call == __NR_SCMP_ERROR)
            return 0;
        return seccomp_rule_add(m_context, SCMP_ACT_ERRNO(EPERM), call, 1, condition);
    }

private:
    scmp_filter_ctx m_context;
};

}  // namespace

int installSeccompFilter()
{
    Filter filter;
    if (!filter.valid())
        return ENOMEM;
    const std::uint64_t self = std::uint64_t(::getpid());
    int failed = 0;
    auto check = [&failed](int result) {
        if (result != 0 && failed == 0)
            failed = -result;
    };
    for (const char* name : kRefused)
        check(filter.refuse(name));
    // The C library tries clone3 first and uses clone where it is missing; clone's flags are
    // in a register the filter can read, clone3's are not.
    check(filter.refuse("clone3", ENOSYS));
    check(filter.refuse("openat2", ENOSYS));
    check(filter.refuseWhen("clone", SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, 0)));
    for (std::uint64_t flag : kWritingOpenFlags) {
        check(filter.refuseWhen("open", SCMP_A1(SCMP_CMP_MASKED_EQ, flag, flag)));
        check(filter.refuseWhen("openat", SCMP_A2(SCMP_CMP_MASKED_EQ, flag, flag)));
    }
    // Signals only to the worker itself (abort() and raise() send them so).
    check(filter.refuseWhen("kill", SCMP_A0(SCMP_CMP_NE, self)));
    check(filter.refuseWhen("tgkill", SCMP_A0(SCMP_CMP_NE, self)));
    check(filter.refuseWhen("rt_sigqueueinfo", SCMP_A0(SCMP_CMP_NE, self)));
    check(filter.refuseWhen("rt_tgsigqueueinfo", SCMP_A0(SCMP_CMP_NE, self)));
    // Reading limits is fine; setting them is not.
    check(filter.refuseWhen("prlimit64", SCMP_A2(SCMP_CMP_NE, 0)));
    check(filter.refuseWhen("ioctl", SCMP_A1(SCMP_CMP_MASKED_EQ, 0xffffffffu, TIOCSTI)));
    check(filter.refuseWhen("ioctl", SCMP_A1(SCMP_CMP_MASKED_EQ, 0xffffffffu, TIOCLINUX)));
    if (failed != 0)
        return failed;
    if (seccomp_attr_set(filter.context(), SCMP_FLTATR_CTL_TSYNC, 1) != 0)
        return EINVAL;
    // The kernel would otherwise turn on its speculative-store-bypass mitigation for the
    // worker, which slows every picture's pixel loops; it guards a process's secrets against
    // code in the same process, and the worker has no secret but the picture in hand.
    // Calls are found by a binary search of the list rather than one by one.
    seccomp_attr_set(filter.context(), SCMP_FLTATR_CTL_SSB, 1);
    seccomp_attr_set(filter.context(), SCMP_FLTATR_CTL_OPTIMIZE, 2);
    const int loaded = seccomp_load(filter.context());
    return loaded == 0 ? 0 : -loaded;
}

}  // namespace quarbel::platform::sandbox
