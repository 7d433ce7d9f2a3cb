#include "platform/sandbox/Spawn.h"

#include "platform/sandbox/WorkerMain.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

namespace quarbel::platform::sandbox {

namespace {

class SpawnSetup {
public:
    explicit SpawnSetup(int channel)
    {
        posix_spawn_file_actions_init(&m_actions);
        posix_spawnattr_init(&m_attributes);
        // Only the socket goes along: standard input and output read and write nothing,
        // standard error stays for diagnostics, and no other descriptor of the program leaks.
        // The socket is moved first, in case the program runs without standard streams.
        posix_spawn_file_actions_adddup2(&m_actions, channel, kWorkerChannelFd);
        posix_spawn_file_actions_addopen(&m_actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&m_actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclosefrom_np(&m_actions, kWorkerChannelFd + 1);
        // Its own process group, so a Ctrl-C at the terminal reaches the program, which then
        // ends its workers, and not the workers in the middle of an item.
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        posix_spawnattr_setsigmask(&m_attributes, &none);
        posix_spawnattr_setsigdefault(&m_attributes, &all);
        posix_spawnattr_setpgroup(&m_attributes, 0);
        posix_spawnattr_setflags(&m_attributes,
                                 POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
    const posix_spawn_file_actions_t* actions() const { return &m_actions; }
    const posix_spawnattr_t* attributes() const { return &m_attributes; }

private:
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
};

}  // namespace

pid_t spawnWithChannel(const std::string& program, const std::vector<std::string>& arguments, int channel,
                       std::string& reason)
{
    std::vector<std::string> texts{program};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    pid_t pid = -1;
    const SpawnSetup setup(channel);
    const int spawned = ::posix_spawn(&pid, program.c_str(), setup.actions(), setup.attributes(),
                                      pointers.data(), environ);
    if (spawned != 0) {
        reason = program + ": " + std::strerror(spawned);
        return -1;
    }
    return pid;
}

bool becomeWorkerChild(int channel)
{
    if (channel != kWorkerChannelFd && ::dup2(channel, kWorkerChannelFd) != kWorkerChannelFd)
        return false;
    const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (nothing >= 0) {
        ::dup2(nothing, 0);
        ::dup2(nothing, 1);
    }
    ::syscall(SYS_close_range, kWorkerChannelFd + 1, ~0u, 0);
    // Handlers the program installed stay (a sanitizer's among them); what it inherited as
    // ignored or blocked is undone, as posix_spawn does for a spawned worker.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction action;
        if (::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
            ::signal(signal, SIG_DFL);
    }
    ::setpgid(0, 0);
    ::prctl(PR_SET_NAME, "quarbel-worker");
    return true;
}

}  // namespace quarbel::platform::sandbox
