#include "imagelist/PreviewLoader.h"

#include <QMetaObject>

namespace quarbel::imagelist {

PreviewLoader::PreviewLoader(std::shared_ptr<PreviewCache> cache, PreviewEvents events, SizeReader readSize,
                             QObject* parent)
    : QObject(parent), m_cache(std::move(cache)), m_events(std::move(events)), m_readSize(std::move(readSize))
{}

PreviewLoader::~PreviewLoader()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_wanted.reset();
        if (m_inHand)
            m_inHand->cancel.cancel();
    }
    m_cache->interrupt();
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void PreviewLoader::request(const QString& path, QSize box)
{
    std::unique_lock lock(m_mutex);
    m_latest = ++m_next;
    if (m_inHand && !m_inHand->finished && !m_inHand->cancel.cancelled() && m_inHand->path == path &&
        m_inHand->box == box) {
        // The same picture again: the decode in hand answers under the new number.
        m_inHand->number = m_latest;
        m_wanted.reset();
        if (const auto size = m_inHand->size)
            post(m_latest, [this, size] { m_events.sizeRead(*size); });
        return;
    }
    stopInHand();
    m_wanted = std::make_shared<Job>();
    m_wanted->number = m_latest;
    m_wanted->path = path;
    m_wanted->box = box;
    startThread();
    lock.unlock();
    m_wake.notify_all();
}

void PreviewLoader::prepare(std::function<void()> work)
{
    std::lock_guard lock(m_mutex);
    startThread(std::move(work));
}

void PreviewLoader::startThread(std::function<void()> first)
{
    if (!m_thread.joinable())
        m_thread = std::thread([this, first = std::move(first)] { run(first); });
}

void PreviewLoader::abandon()
{
    {
        std::lock_guard lock(m_mutex);
        m_latest = 0;
        m_wanted.reset();
        stopInHand();
    }
    m_progress.notify_all();
}

void PreviewLoader::stopInHand()
{
    if (m_inHand && !m_inHand->finished) {
        m_inHand->cancel.cancel();
        m_cache->interrupt();
    }
}

std::optional<QSize> PreviewLoader::waitForSize(std::chrono::milliseconds most)
{
    std::unique_lock lock(m_mutex);
    const quint64 latest = m_latest;
    const auto settled = [&] {
        return latest == 0 || m_stopping ||
               (m_inHand && m_inHand->number == latest && (m_inHand->size || m_inHand->finished));
    };
    m_progress.wait_for(lock, most, settled);
    if (latest != 0 && m_inHand && m_inHand->number == latest)
        return m_inHand->size;
    return std::nullopt;
}

bool PreviewLoader::idle() const
{
    std::lock_guard lock(m_mutex);
    return !m_wanted && (!m_inHand || m_inHand->finished);
}

void PreviewLoader::post(quint64 number, std::function<void()> event)
{
    QMetaObject::invokeMethod(
        this,
        [this, number, event = std::move(event)] {
            if (number == m_latest)
                event();
        },
        Qt::QueuedConnection);
}

void PreviewLoader::run(std::function<void()> first)
{
    if (first) {
        try {
            first();
        } catch (...) {
        }
    }
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || m_wanted; });
        if (m_stopping)
            return;
        m_inHand = std::move(m_wanted);
        lock.unlock();
        work(*m_inHand);
        lock.lock();
        m_inHand->finished = true;
        m_progress.notify_all();
    }
}

void PreviewLoader::work(Job& job)
{
    // Only this thread changes m_inHand, so job stays valid; its number may change under m_mutex.
    const auto number = [&] {
        std::lock_guard lock(m_mutex);
        return job.number;
    };
    if (!m_cache->holds(job.path, job.box)) {
        if (const std::optional<QSize> size = m_readSize(job.path, &job.cancel)) {
            {
                std::lock_guard lock(m_mutex);
                job.size = size;
            }
            m_progress.notify_all();
            post(number(), [this, size] { m_events.sizeRead(*size); });
        }
    }
    if (job.cancel.cancelled())
        return;
    const PreviewOutcome outcome = m_cache->load(job.path, job.box, &job.cancel);
    if (job.cancel.cancelled())
        return;
    if (outcome) {
        {
            std::lock_guard lock(m_mutex);
            job.size = outcome->fullSize;
        }
        post(number(), [this, picture = *outcome.picture] { m_events.shown(picture); });
    } else {
        post(number(), [this, reason = outcome.reason] { m_events.failed(reason); });
    }
}

}  // namespace quarbel::imagelist
