#pragma once
// Stops one item given to a worker, from any thread: cancel() kills the worker that works on
// it, or, before a worker has it, makes the item end Cancelled without being sent.

#include <mutex>

namespace quarbel::platform::sandbox {

class WorkerProcess;

class Cancellation {
public:
    void cancel();
    bool cancelled() const;

private:
    friend class WorkerProcess;
    // The worker that works on the item from now on; false when it was cancelled already.
    bool attach(WorkerProcess* worker);
    void detach();

    mutable std::mutex m_mutex;
    WorkerProcess* m_worker = nullptr;
    bool m_cancelled = false;
};

}  // namespace quarbel::platform::sandbox
