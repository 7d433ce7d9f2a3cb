#pragma once
// A zygote: the worker executable started once, with its libraries linked and relocated and
// its start-up done, which then makes each worker as a copy of itself. Copies share the
// zygote's pages until they write to them (the relocated libraries' data is about 4 MB a
// process, written once at linking and then only read) and skip the exec, the linking and
// the start-up. A copy is made with CLONE_PARENT, so it is the program's own child, as a
// spawned worker is: the program waits for it, kills it and reads how it ended as before.
// The zygote confines nothing of its own and reads nothing but the program's requests;
// each copy confines itself before it sees a byte of a picture (WorkerMain.h).
//
// A program that links the workers' code too can make its zygote by forking itself as it
// starts (forkFromThisProgram), before it has a thread, a window or a byte of a picture: the
// copy has the libraries the program already linked and skips the zygote's own exec and
// linking (about 30 ms for the 153 libraries). The workers then share the program's
// address layout, not only each other's; what reaches the program from a worker is the
// same few checked messages either way.
//
// A zygote that could not start or has ended makes no more workers; the caller then starts
// them from the executable. ThreadSanitizer builds start none (the sanitizer's own state is
// not ready to be copied behind its back).

#include <sys/types.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace quarbel::platform::sandbox {

class Zygote {
public:
    // Starts program as a zygote without waiting for it; null with reason if it cannot be.
    static std::shared_ptr<Zygote> start(const std::string& program, std::string& reason);
    // Forks this program to be the zygote: the copy runs zygoteMain (which must not return
    // into the program's own code: its value becomes the copy's exit status) with its socket
    // as descriptor 3. Refused, with reason, when the program already has more than one
    // thread. program is the worker executable the workers come from when the zygote ends.
    static std::shared_ptr<Zygote> forkFromThisProgram(const std::string& program,
                                                       const std::function<int()>& zygoteMain,
                                                       std::string& reason);
    ~Zygote();  // the zygote ends; the workers it made live on
    Zygote(const Zygote&) = delete;
    Zygote& operator=(const Zygote&) = delete;

    const std::string& program() const { return m_program; }
    // A new worker with channel (the worker's end of its socket) as its descriptor 3 and
    // these arguments: its pid, a child of this process; or -1 with reason, and the zygote
    // makes no more.
    pid_t makeWorker(int channel, const std::vector<std::string>& arguments, std::string& reason);

private:
    Zygote(std::string program, pid_t pid, int socket);
    void end();  // with m_mutex held

    const std::string m_program;
    std::mutex m_mutex;  // one request at a time
    pid_t m_pid = -1;
    int m_socket = -1;
    bool m_ready = false;  // its Hello has come
};

}  // namespace quarbel::platform::sandbox
