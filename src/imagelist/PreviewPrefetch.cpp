#include "imagelist/PreviewPrefetch.h"

#include <utility>

namespace quarbel::imagelist {

QList<int> neighbourRows(int row, int previousRow, int count)
{
    if (row < 0 || row >= count)
        return {};
    const int ahead = previousRow > row ? -1 : 1;
    QList<int> rows;
    for (int candidate : {row + ahead, row - ahead, row + 2 * ahead})
        if (candidate >= 0 && candidate < count && candidate != row)
            rows.append(candidate);
    return rows;
}

PreviewPrefetcher::PreviewPrefetcher(std::shared_ptr<PreviewCache> cache) : m_cache(std::move(cache)) {}

PreviewPrefetcher::~PreviewPrefetcher()
{
    {
        std::lock_guard lock(m_mutex);
        m_waiting.clear();
        m_stopping = true;
        if (m_inHand)
            m_inHand->cancel();
    }
    m_cache->interrupt();
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void PreviewPrefetcher::want(const QStringList& paths, QSize box)
{
    {
        std::lock_guard lock(m_mutex);
        m_waiting.assign(paths.begin(), paths.end());
        m_box = box;
        if (!m_thread.joinable() && !m_waiting.empty())
            m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_all();
}

void PreviewPrefetcher::drop()
{
    std::lock_guard lock(m_mutex);
    m_waiting.clear();
}

bool PreviewPrefetcher::idle() const
{
    std::lock_guard lock(m_mutex);
    return m_waiting.empty() && !m_busy;
}

void PreviewPrefetcher::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        if (m_stopping)
            return;
        const QString path = m_waiting.front();
        m_waiting.pop_front();
        const QSize box = m_box;
        platform::sandbox::Cancellation cancel;
        m_busy = true;
        m_inHand = &cancel;
        lock.unlock();
        // A picture that fails is simply not there when it is shown; the window's own decode
        // then finds the same failure.
        try {
            m_cache->load(path, box, &cancel);
        } catch (...) {
        }
        lock.lock();
        m_inHand = nullptr;
        m_busy = false;
    }
}

}  // namespace quarbel::imagelist
