#pragma once
// One worker process seen from the program: started on demand from its executable, given
// one item at a time, watched while it works, and killed when it overruns its time, when
// the item is cancelled or when it is destroyed. A worker that dies (a decoder's crash, its
// memory limit, a kill) fails the item in hand with the reason, and the next item starts a
// fresh worker.
//
// run() is called by one thread at a time; cancel() may be called from any thread.

#include "platform/sandbox/Cancellation.h"
#include "platform/sandbox/Confinement.h"
#include "platform/sandbox/SharedBuffer.h"

#include <sys/types.h>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace quarbel::platform::sandbox {

class Zygote;

struct WorkerOptions {
    std::string program;                  // the worker executable
    std::uint64_t addressSpaceBytes = 0;  // the worker's address-space limit, 0 for none
    std::chrono::milliseconds timeout{std::chrono::minutes(5)};        // one item's longest time
    std::chrono::milliseconds startTimeout{std::chrono::seconds(30)};  // until the worker's Hello
    // The largest reply taken (also the worker's file-size limit): the pixel limit keeps
    // real outputs far below.
    std::uint64_t maxOutputBytes = 2ull << 30;
    // Where workers are made by copying a zygote of the program (Zygote.h) rather than by
    // starting the program anew; null, or a zygote of another program, to start each anew.
    std::shared_ptr<Zygote> zygote;
};

enum class WorkOutcome {
    Done,        // output holds the result
    Failed,      // the worker could not do the item and said why
    Stopped,     // the worker died or broke off the conversation
    TimedOut,    // the worker overran its time and was killed
    Cancelled,   // cancel() killed the worker
    NotStarted,  // no worker could be started
};

struct WorkResult {
    WorkOutcome outcome = WorkOutcome::Failed;
    std::string reason;   // for everything but Done, ready for people
    SharedBuffer output;  // for Done: sealed, read-only
};

// A worker's own words made fit for logs and terminals: no control characters, a sensible
// length.
std::string cleanedReason(std::string text);

class WorkerProcess {
public:
    explicit WorkerProcess(WorkerOptions options);
    ~WorkerProcess();
    WorkerProcess(const WorkerProcess&) = delete;
    WorkerProcess& operator=(const WorkerProcess&) = delete;

    // Starts the worker unless one runs and waits for its Hello; false with reason if not.
    bool start(std::string& reason);
    // Starts the worker's process without waiting for it (start() then waits for its Hello),
    // so that it links and confines itself while the program reads the item's file. False
    // with reason if the process could not be started.
    bool launch(std::string& reason);
    bool running() const;
    // What the worker's confinement is (valid after a successful start).
    Confinement confinement() const { return m_confinement; }

    // Hands the input to the worker and waits for its answer. The input is sent, not copied.
    // Cancelling the cancellation, when given, ends the item Cancelled.
    WorkResult run(std::string_view operation, SharedBuffer input, Cancellation* cancellation = nullptr);
    // Kills the worker if it is working on an item; that item ends Cancelled.
    void cancel();

private:
    // Kills and reaps the worker; its wait status, or -1 when there was none to reap.
    int stop();
    void idle();
    WorkResult exchange(std::string_view operation, SharedBuffer input);

    WorkerOptions m_options;
    mutable std::mutex m_mutex;  // guards m_pid against cancel() while it is reaped
    pid_t m_pid = -1;
    int m_socket = -1;
    bool m_ready = false;  // its Hello has come
    bool m_busy = false;
    bool m_cancelled = false;
    Confinement m_confinement = 0;
};

}  // namespace quarbel::platform::sandbox
