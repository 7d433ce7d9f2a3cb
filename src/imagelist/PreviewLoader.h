#pragma once
// The preview a person asks for, decoded off the window's thread so that the window answers
// clicks and keys while a large picture decodes (in a worker process: PreviewWorkers.h).
// First the picture's size is read from its header, so that what depends on the size need
// not wait for the pixels; then the picture comes from the cache or a decode.
//
// A newer request supersedes an older one: the older decode is stopped (its worker ended)
// and nothing of it is told any more, so a picture is never shown late. The events are
// called on the thread that made the loader, for the latest request only.

#include "imagelist/PreviewCache.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace quarbel::imagelist {

struct PreviewEvents {
    std::function<void(QSize size)> sizeRead;           // from the header, before the pixels
    std::function<void(const Picture& picture)> shown;  // the picture, with its own size
    std::function<void(const QString& reason)> failed;  // no picture; the size may have come
};

class PreviewLoader : public QObject {
public:
    using SizeReader =
        std::function<std::optional<QSize>(const QString& path, platform::sandbox::Cancellation*)>;

    // `readSize` stands in for readPictureSize where a test wants to.
    PreviewLoader(std::shared_ptr<PreviewCache> cache, PreviewEvents events,
                  SizeReader readSize = readPictureSize, QObject* parent = nullptr);
    ~PreviewLoader() override;

    // Runs work on the loader's thread before any request (starting the decoders early).
    void prepare(std::function<void()> work);
    // Asks for the preview of path in a box of `box` device pixels.
    void request(const QString& path, QSize box);
    // The latest request is no longer wanted: it is stopped and tells nothing more.
    void abandon();
    // Waits at most `most` until the latest request's size is known (from the header or the
    // picture) or it has failed; the size if known. Its sizeRead event still comes.
    std::optional<QSize> waitForSize(std::chrono::milliseconds most);
    // Nothing asked and nothing in hand (the events of a finished request may still wait in
    // the event queue).
    bool idle() const;

private:
    struct Job {
        quint64 number = 0;
        QString path;
        QSize box;
        platform::sandbox::Cancellation cancel;
        std::optional<QSize> size;
        bool finished = false;
    };

    void run(std::function<void()> first);
    // With m_mutex held.
    void startThread(std::function<void()> first = {});
    void work(Job& job);
    // Calls event on the window's thread if the request is still the latest by then.
    void post(quint64 number, std::function<void()> event);
    // With m_mutex held: stops the job in hand unless it is for this picture.
    void stopInHand();

    const std::shared_ptr<PreviewCache> m_cache;
    const PreviewEvents m_events;
    const SizeReader m_readSize;
    quint64 m_latest = 0;  // the window's thread's

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;      // a job is wanted, or stop
    std::condition_variable m_progress;  // a size is known or a job finished
    std::shared_ptr<Job> m_wanted;
    std::shared_ptr<Job> m_inHand;
    quint64 m_next = 0;
    bool m_stopping = false;
    std::thread m_thread;  // started on the first request
};

}  // namespace quarbel::imagelist
