#pragma once
// Decodes the previews a person is likely to look at next on a thread of its own, into the
// cache the window's thread reads, so that moving through the list shows each picture at
// once. The thread touches no widget: it only reads files and fills the cache.

#include "imagelist/PreviewCache.h"

#include <QList>
#include <QSize>
#include <QStringList>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace quarbel::imagelist {

// The rows worth decoding ahead once `row` of a list of `count` rows is shown, most likely
// first: the next row in the direction the selection last moved (down when it came from
// `previousRow` above it, or from nowhere), the row on the other side, then the one after the
// next. Rows outside the list are left out; a row outside it gives nothing.
QList<int> neighbourRows(int row, int previousRow, int count);

class PreviewPrefetcher {
public:
    explicit PreviewPrefetcher(std::shared_ptr<PreviewCache> cache);
    // Drops what is waiting and stops the picture in hand.
    ~PreviewPrefetcher();
    PreviewPrefetcher(const PreviewPrefetcher&) = delete;
    PreviewPrefetcher& operator=(const PreviewPrefetcher&) = delete;

    // Decodes these files for a box of `box` device pixels, in order, after the picture in
    // hand; what was waiting before is dropped. Files the cache holds are skipped.
    void want(const QStringList& paths, QSize box);
    // Drops what is waiting (the picture in hand is finished and kept).
    void drop();
    // Nothing waiting and nothing in hand.
    bool idle() const;

private:
    void run();

    std::shared_ptr<PreviewCache> m_cache;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<QString> m_waiting;
    QSize m_box;
    bool m_busy = false;
    platform::sandbox::Cancellation* m_inHand = nullptr;  // the decode in hand, under m_mutex
    bool m_stopping = false;
    std::thread m_thread;  // started on the first want
};

}  // namespace quarbel::imagelist
