#include "imagelist/PreviewCache.h"

#include <algorithm>
#include <utility>

namespace quarbel::imagelist {

PreviewCache::PreviewCache(qsizetype maxBytes, Decoder decode)
    : m_maxBytes(maxBytes), m_decode(std::move(decode))
{}

PreviewOutcome PreviewCache::load(const QString& path, QSize box, platform::sandbox::Cancellation* cancel)
{
    const std::optional<FileStamp> stamp = stampOf(path);
    if (!stamp)
        return PreviewOutcome::failure(QStringLiteral("the file is missing or not an ordinary file"));
    if (box.isEmpty())
        return PreviewOutcome::failure(QStringLiteral("the preview box is empty"));
    const Key key{path, box};
    const auto cancelled = [cancel] { return cancel && cancel->cancelled(); };
    {
        std::unique_lock lock(m_mutex);
        m_decoded.wait(lock, [&] {
            return cancelled() || std::find(m_inFlight.begin(), m_inFlight.end(), key) == m_inFlight.end();
        });
        if (cancelled())
            return PreviewOutcome::failure(QStringLiteral("cancelled"));
        if (auto found = findFresh(key, *stamp); found != m_entries.end())
            return std::optional<Picture>(found->picture);
        m_inFlight.push_back(key);
    }
    // Whatever happens to the decode, the key stops being in flight and waiters wake up.
    struct Landing {
        PreviewCache& cache;
        const Key& key;
        ~Landing()
        {
            {
                std::lock_guard lock(cache.m_mutex);
                std::erase(cache.m_inFlight, key);
            }
            cache.m_decoded.notify_all();
        }
    } landing{*this, key};

    PreviewOutcome decoded = m_decode(path, box, cancel);
    if (decoded) {
        std::lock_guard lock(m_mutex);
        remember({path, box, *stamp, *decoded, decoded->image.sizeInBytes()});
    }
    return decoded;
}

void PreviewCache::interrupt()
{
    // Taking the lock orders this after a waiter's look at its cancellation.
    {
        std::lock_guard lock(m_mutex);
    }
    m_decoded.notify_all();
}

bool PreviewCache::holds(const QString& path, QSize box)
{
    const std::optional<FileStamp> stamp = stampOf(path);
    if (!stamp)
        return false;
    std::lock_guard lock(m_mutex);
    return findFresh({path, box}, *stamp) != m_entries.end();
}

qsizetype PreviewCache::bytes() const
{
    std::lock_guard lock(m_mutex);
    return m_bytes;
}

int PreviewCache::count() const
{
    std::lock_guard lock(m_mutex);
    return int(m_entries.size());
}

std::list<PreviewCache::Entry>::iterator PreviewCache::findFresh(const Key& key, const FileStamp& stamp)
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&](const Entry& e) { return e.path == key.path && e.box == key.box; });
    if (found == m_entries.end())
        return m_entries.end();
    if (found->stamp != stamp) {
        m_bytes -= found->bytes;
        m_entries.erase(found);
        return m_entries.end();
    }
    m_entries.splice(m_entries.begin(), m_entries, found);
    return m_entries.begin();
}

void PreviewCache::remember(Entry entry)
{
    const auto same = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) {
        return e.path == entry.path && e.box == entry.box;
    });
    if (same != m_entries.end()) {
        m_bytes -= same->bytes;
        m_entries.erase(same);
    }
    if (entry.bytes > m_maxBytes)
        return;
    m_bytes += entry.bytes;
    m_entries.push_front(std::move(entry));
    while (m_bytes > m_maxBytes) {
        m_bytes -= m_entries.back().bytes;
        m_entries.pop_back();
    }
}

}  // namespace quarbel::imagelist
