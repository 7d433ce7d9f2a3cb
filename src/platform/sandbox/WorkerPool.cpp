#include "platform/sandbox/WorkerPool.h"

#include <algorithm>

namespace quarbel::platform::sandbox {

WorkerPool::WorkerPool(const WorkerOptions& options, int count)
{
    for (int i = 0; i < std::max(count, 1); ++i) {
        m_workers.push_back(std::make_unique<WorkerProcess>(options));
        m_free.push_back(m_workers.back().get());
    }
}

WorkerPool::~WorkerPool() = default;

bool WorkerPool::start(std::string& reason)
{
    // Each worker is taken as for an item, so that no item runs on one while it starts.
    std::vector<WorkerProcess*> taken;
    for (std::size_t i = 0; i < m_workers.size(); ++i)
        taken.push_back(&take());
    bool started = true;
    for (WorkerProcess* worker : taken) {
        std::string why;
        if (!worker->start(why) && started) {
            started = false;
            reason = why;
        }
        give(*worker);
    }
    return started;
}

void WorkerPool::launchOne()
{
    std::lock_guard lock(m_mutex);
    auto idle = std::find_if(m_free.begin(), m_free.end(), [](WorkerProcess* w) { return !w->running(); });
    std::string reason;
    if (idle != m_free.end())
        (*idle)->launch(reason);
}

Confinement WorkerPool::confinement()
{
    WorkerProcess& worker = take();
    std::string reason;
    const Confinement confinement = worker.start(reason) ? worker.confinement() : 0;
    give(worker);
    return confinement;
}

WorkerProcess& WorkerPool::take()
{
    std::unique_lock lock(m_mutex);
    m_freed.wait(lock, [this] { return !m_free.empty(); });
    // A worker that still runs first, so that dead ones are replaced only when needed.
    auto chosen = std::find_if(m_free.begin(), m_free.end(), [](WorkerProcess* w) { return w->running(); });
    if (chosen == m_free.end())
        chosen = m_free.begin();
    WorkerProcess* worker = *chosen;
    m_free.erase(chosen);
    return *worker;
}

void WorkerPool::give(WorkerProcess& worker)
{
    {
        std::lock_guard lock(m_mutex);
        m_free.push_back(&worker);
    }
    m_freed.notify_one();
}

WorkResult WorkerPool::run(std::string_view operation, SharedBuffer input, Cancellation* cancellation)
{
    WorkerProcess& worker = take();
    WorkResult result = worker.run(operation, std::move(input), cancellation);
    give(worker);
    return result;
}

void WorkerPool::cancelAll()
{
    for (auto& worker : m_workers)
        worker->cancel();
}

}  // namespace quarbel::platform::sandbox
