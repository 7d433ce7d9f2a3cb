#pragma once
// The heavy work of list items (load, decode, process, encode) in worker processes, one
// thread here waiting for each (see platform/sandbox/WorkerPool.h). The frame
// starts an item's work ahead of time, takes the finished result when it commits the item,
// and discards work whose result must not be used (after a cancel, or when the item's source
// file was rewritten by an earlier item after its work began). Discarded work is cancelled:
// it stops within a strip of its picture and its result is thrown away. The pipeline waits
// for all work before it goes away.
//
// Started items wait in a queue, in the order they were started, for one of the threads (as
// many as workers). A thread takes the first item; when its source is small it takes the
// small ones after it as well, up to kBatchItems and no more than a fair share of what
// waits, and sends them to a worker as one batch (ItemWork.h). An item of a batch that is
// discarded alone gets no output; the batch's worker is killed once every item of it has
// been discarded (as all are on a cancel).

#include "jobs/ItemWork.h"
#include "jobs/imageservice/ImageService.h"
#include "platform/sandbox/WorkerPool.h"

#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

class QAbstractEventDispatcher;

namespace quarbel::jobs {

class ItemPipeline {
public:
    ItemPipeline(const imageservice::ImageProcess& process, int workers);
    ~ItemPipeline();
    ItemPipeline(const ItemPipeline&) = delete;
    ItemPipeline& operator=(const ItemPipeline&) = delete;

    // Starts an item's work; an item whose work was taken is never started again. sourceBytes:
    // the source's size as far as known (0 when not), which decides how it travels.
    void start(int index, const QString& source, const QStringList& sourceSpellings,
               std::uint64_t sourceBytes = 0);
    // While a Gathering lives, started items wait in the queue; the threads take them when it
    // ends, so that the items started together (by one fill) travel together.
    class Gathering {
    public:
        explicit Gathering(ItemPipeline& pipeline);
        ~Gathering();
        Gathering(const Gathering&) = delete;
        Gathering& operator=(const Gathering&) = delete;

    private:
        ItemPipeline& m_pipeline;
    };
    // Whether an item with a source of this size may start now: the items not finished and
    // those in flight stay within bounds counted in shares of a worker, a large source
    // taking a worker's whole share and a small one 1 / kBatchItems of it (ThreadBudget.h).
    // Large sources: as many unfinished as workers, 3 x workers + 1 in flight, as before
    // batches; small ones: a batch per worker waiting beside those in hand.
    bool hasRoom(std::uint64_t sourceBytes);
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
    // Works not finished yet, live or discarded.
    int running();
    // Bytes of finished results waiting to be taken.
    std::size_t heldBytes() const;
    bool idle();
    // Wakes the thread that waits for work (see waitWithEvents) after something other than
    // an item's work has finished.
    void wake() const;

private:
    struct Batch;

    const std::string m_request;  // the Work text of every item: the chain and the settings
    const int m_workerCount;
    platform::sandbox::WorkerPool m_workers;
    QThreadPool m_pool;
    QAbstractEventDispatcher* m_dispatcher;
    std::map<int, std::shared_ptr<ItemWork>> m_live;
    std::vector<std::shared_ptr<ItemWork>> m_discarded;

    int m_firstUntaken = 0;

    // Shared with the threads: the queue, how many threads serve it, the batches in hand.
    std::mutex m_mutex;
    std::deque<std::shared_ptr<ItemWork>> m_queue;
    int m_threads = 0;
    // Threads started that have not looked at the queue yet. The others are working on
    // their own items and look again only when done, so an item queued meanwhile needs a
    // thread of its own while the workers allow one.
    int m_looking = 0;
    bool m_gathering = false;
    std::unordered_map<const ItemWork*, std::shared_ptr<Batch>> m_batchOf;

    std::shared_ptr<ItemWork> remove(int index);
    void forgetFinishedDiscards();
    void startThreads();  // with m_mutex held
    // A thread's life: it works what waits until nothing does.
    void serveQueue();
    std::vector<std::shared_ptr<ItemWork>> takeGroup();  // with m_mutex held
    void workGroup(const std::vector<std::shared_ptr<ItemWork>>& group,
                   platform::sandbox::Cancellation* together);
};

// Wakes whoever waits in waitWithEvents on a thread without an event dispatcher.
void notifyWorkFinished();

}  // namespace quarbel::jobs
