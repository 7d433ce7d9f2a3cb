#pragma once
// The heavy work of list items (load, decode, process, encode) in worker processes, one
// thread here waiting for each (see platform/sandbox/WorkerPool.h). The frame
// starts an item's work ahead of time, takes the finished result when it commits the item,
// and discards work whose result must not be used (after a cancel, or when the item's source
// file was rewritten by an earlier item after its work began). Discarded work is cancelled:
// it stops within a strip of its picture and its result is thrown away. The pipeline waits
// for all work before it goes away.

#include "jobs/imageservice/ImageService.h"
#include "platform/sandbox/WorkerPool.h"

#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <map>
#include <memory>
#include <vector>

class QAbstractEventDispatcher;

namespace quarbel::jobs {

struct ItemWork {
    QString source;
    QStringList sourceSpellings;  // FileKeys::sourceKeys() of the source
    imageservice::CancelToken cancel;
    platform::sandbox::Cancellation stop;  // kills the worker process in hand on a cancel
    std::atomic<bool> done{false};
    imageservice::Result outcome;  // valid once done
    bool stopped = false;          // valid once done: the cancel ended it before its end
    imageservice::ImageFile result;
};

class ItemPipeline {
public:
    ItemPipeline(const imageservice::ImageProcess& process, int workers);
    ~ItemPipeline();
    ItemPipeline(const ItemPipeline&) = delete;
    ItemPipeline& operator=(const ItemPipeline&) = delete;

    // Starts an item's work; an item whose work was taken is never started again.
    void start(int index, const QString& source, const QStringList& sourceSpellings);
    // The work started for an item and not taken or discarded since; null when none.
    std::shared_ptr<ItemWork> find(int index) const;
    // The item's work for committing it: from now on the item is never started again.
    std::shared_ptr<ItemWork> take(int index);
    // The first item after every item taken so far.
    int firstUntaken() const { return m_firstUntaken; }
    // Cancels the item's work and forgets it.
    void discard(int index);
    // Cancels and forgets the work of every item; gives that work, to see how it ended once
    // the pipeline is idle.
    std::vector<std::shared_ptr<ItemWork>> discardAll();
    // Items with live work, in list order.
    std::vector<int> started() const;
    // Works still using memory or a thread: live ones and discarded ones still running.
    int inFlight();
    // Works not finished yet, live or discarded: the threads in use.
    int running();
    // Bytes of finished results waiting to be taken.
    std::size_t heldBytes() const;
    bool idle();
    // Wakes the thread that waits for work (see waitWithEvents) after something other than
    // an item's work has finished.
    void wake() const;

private:
    const std::string m_request;  // the Work text of every item: the chain and the settings
    platform::sandbox::WorkerPool m_workers;
    QThreadPool m_pool;
    QAbstractEventDispatcher* m_dispatcher;
    std::map<int, std::shared_ptr<ItemWork>> m_live;
    std::vector<std::shared_ptr<ItemWork>> m_discarded;

    int m_firstUntaken = 0;

    std::shared_ptr<ItemWork> remove(int index);
    void forgetFinishedDiscards();
};

// Wakes whoever waits in waitWithEvents on a thread without an event dispatcher.
void notifyWorkFinished();

}  // namespace quarbel::jobs
