#pragma once
// The pictures the preview box has shown or is about to show, decoded for the box's device
// size, so that showing one again costs no decode. The window's thread and the prefetch
// thread share one cache: every member may be called from any thread.

#include "imagelist/Paths.h"
#include "imagelist/PictureLoader.h"
#include "platform/sandbox/Cancellation.h"

#include <QSize>
#include <QString>
#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <vector>

namespace quarbel::imagelist {

class PreviewCache {
public:
    // Box-sized pictures are 0.1 MB (0.4 MB at a scale of 2): a few hundred fit.
    static constexpr qsizetype kDefaultBytes = 32 * 1024 * 1024;

    using Decoder = std::function<PreviewOutcome(const QString& path, QSize box,
                                                 platform::sandbox::Cancellation* cancel)>;

    // `decode` stands in for decodePreviewFile where a test wants to count decodes.
    explicit PreviewCache(qsizetype maxBytes = kDefaultBytes, Decoder decode = decodePreviewFile);

    // The picture of path for a box of `box` device pixels: the remembered one while the
    // file keeps its length and modification time, else a fresh decode, which is then
    // remembered (the least recently used pictures make room). When another thread is
    // decoding the same file for the same box, waits for its result instead of decoding it a
    // second time. Nothing, with the reason, for what cannot be decoded; that is not
    // remembered. Once cancel (when given) is cancelled, a decode in hand is stopped and a
    // wait for another thread's decode ends at the next interrupt(): both give nothing.
    PreviewOutcome load(const QString& path, QSize box, platform::sandbox::Cancellation* cancel = nullptr);
    // Wakes the loads that wait for another thread's decode, to look at their cancellation.
    void interrupt();

    // Whether load would return at once (the picture is remembered and its file unchanged).
    bool holds(const QString& path, QSize box);

    qsizetype bytes() const;
    int count() const;

private:
    struct Entry {
        QString path;
        QSize box;
        FileStamp stamp;
        Picture picture;
        qsizetype bytes = 0;
    };
    struct Key {
        QString path;
        QSize box;
        bool operator==(const Key&) const = default;
    };

    // With m_mutex held. The entry for key, moved to the front; stale entries are dropped.
    std::list<Entry>::iterator findFresh(const Key& key, const FileStamp& stamp);
    void remember(Entry entry);

    const qsizetype m_maxBytes;
    const Decoder m_decode;
    mutable std::mutex m_mutex;
    std::condition_variable m_decoded;
    std::list<Entry> m_entries;   // most recently used first
    std::vector<Key> m_inFlight;  // being decoded by some thread
    qsizetype m_bytes = 0;
};

}  // namespace quarbel::imagelist
