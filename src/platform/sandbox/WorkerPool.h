#pragma once
// A pool of worker processes for one job or for the previews: up to count workers, each
// item on whichever is free. The threads that call run() wait for a free worker; a worker
// that died on an item is replaced by the next item that takes its place. cancelAll() ends
// every item in hand at once.

#include "platform/sandbox/WorkerProcess.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace quarbel::platform::sandbox {

class WorkerPool {
public:
    WorkerPool(const WorkerOptions& options, int count);
    ~WorkerPool();

    // Starts every worker ahead of the first item; false with the first reason if one failed.
    bool start(std::string& reason);
    // Starts the process of one free worker that does not run yet, without waiting for it:
    // for an item about to come, so that the worker starts while the item's file is read.
    // A worker that fails to start is left for the item to start and report.
    void launchOne();
    // The confinement of the workers: starts one worker if none runs; 0 when none starts.
    Confinement confinement();

    WorkResult run(std::string_view operation, SharedBuffer input, Cancellation* cancellation = nullptr);
    void cancelAll();

    int size() const { return int(m_workers.size()); }

private:
    WorkerProcess& take();
    void give(WorkerProcess& worker);

    std::vector<std::unique_ptr<WorkerProcess>> m_workers;
    std::mutex m_mutex;
    std::condition_variable m_freed;
    std::vector<WorkerProcess*> m_free;
};

}  // namespace quarbel::platform::sandbox
