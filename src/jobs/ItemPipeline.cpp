#include "jobs/ItemPipeline.h"

#include "jobs/ThreadBudget.h"
#include "jobs/WorkerSettings.h"
#include "jobs/worker/ItemRequest.h"

#include <QAbstractEventDispatcher>
#include <QThread>
#include <algorithm>
#include <utility>

namespace quarbel::jobs {

namespace sandbox = platform::sandbox;

namespace {

bool small(const ItemWork& item) { return item.sourceBytes <= kSmallSourceBytes; }

// An item's share of a worker, in 1 / kBatchItems.
int shareOf(std::uint64_t sourceBytes) { return sourceBytes <= kSmallSourceBytes ? 1 : kBatchItems; }

}  // namespace

struct ItemPipeline::Batch {
    sandbox::Cancellation stop;
    std::vector<ItemWork*> items;
};

ItemPipeline::ItemPipeline(const imageservice::ImageProcess& process, int workers)
    : m_request(worker::requestToText(worker::requestFor(process))),
      m_workerCount(std::max(1, workers)),
      m_workers(jobWorkerOptions(), m_workerCount),
      m_dispatcher(QAbstractEventDispatcher::instance(QThread::currentThread()))
{
    m_pool.setMaxThreadCount(m_workerCount);
}

ItemPipeline::~ItemPipeline() { m_pool.waitForDone(); }

void ItemPipeline::start(int index, const QString& source, const QStringList& sourceSpellings,
                         std::uint64_t sourceBytes)
{
    if (index < m_firstUntaken)
        return;
    auto item = std::make_shared<ItemWork>();
    item->source = source;
    item->sourceSpellings = sourceSpellings;
    item->sourceBytes = sourceBytes;
    m_live[index] = item;
    std::lock_guard lock(m_mutex);
    m_queue.push_back(std::move(item));
    if (!m_gathering)
        startThreads();
}

void ItemPipeline::startThreads()
{
    while (m_threads < m_workerCount && std::size_t(m_looking) < m_queue.size()) {
        ++m_threads;
        ++m_looking;
        m_workers.launchOne();  // starts while the thread reads the item's file
        m_pool.start([this] { serveQueue(); });
    }
}

ItemPipeline::Gathering::Gathering(ItemPipeline& pipeline) : m_pipeline(pipeline)
{
    std::lock_guard lock(m_pipeline.m_mutex);
    m_pipeline.m_gathering = true;
}

ItemPipeline::Gathering::~Gathering()
{
    std::lock_guard lock(m_pipeline.m_mutex);
    m_pipeline.m_gathering = false;
    m_pipeline.startThreads();
}

bool ItemPipeline::hasRoom(std::uint64_t sourceBytes)
{
    forgetFinishedDiscards();
    int unfinished = 0, inFlight = 0;
    bool largeInHand = false;
    auto count = [&](const ItemWork& item) {
        const int share = shareOf(item.sourceBytes);
        inFlight += share;
        if (!item.done.load(std::memory_order_acquire)) {
            unfinished += share;
            largeInHand = largeInHand || share == kBatchItems;
        }
    };
    for (const auto& entry : m_live)
        count(*entry.second);
    for (const auto& item : m_discarded)
        count(*item);
    const int share = shareOf(sourceBytes);
    // While only small sources are in hand, a batch for each worker may wait in the queue
    // beside them; with a large one in hand no item waits (as many unfinished as workers).
    const int mostUnfinished = m_workerCount * kBatchItems * (share < kBatchItems && !largeInHand ? 2 : 1);
    const int mostInFlight = (3 * m_workerCount + 1) * kBatchItems;
    return unfinished + share <= mostUnfinished && inFlight + share <= mostInFlight;
}

std::vector<std::shared_ptr<ItemWork>> ItemPipeline::takeGroup()
{
    std::vector<std::shared_ptr<ItemWork>> group;
    if (m_queue.empty())
        return group;
    group.push_back(m_queue.front());
    m_queue.pop_front();
    if (!small(*group.front()))
        return group;
    // A fair share of the small items waiting, so that a short list still keeps every worker
    // busy.
    const std::size_t waiting = std::min<std::size_t>(
        std::find_if(m_queue.begin(), m_queue.end(), [](const auto& item) { return !small(*item); }) -
            m_queue.begin(),
        std::size_t(kBatchItems) * std::size_t(m_workerCount));
    const std::size_t wanted = std::min<std::size_t>(
        kBatchItems, (waiting + 1 + std::size_t(m_workerCount) - 1) / std::size_t(m_workerCount));
    while (group.size() < wanted && !m_queue.empty() && small(*m_queue.front())) {
        group.push_back(m_queue.front());
        m_queue.pop_front();
    }
    return group;
}

void ItemPipeline::serveQueue()
{
    bool first = true;
    for (;;) {
        std::vector<std::shared_ptr<ItemWork>> group;
        std::shared_ptr<Batch> batch;
        {
            std::lock_guard lock(m_mutex);
            if (std::exchange(first, false))
                --m_looking;
            group = takeGroup();
            if (group.empty()) {
                --m_threads;
                return;
            }
            if (group.size() > 1) {
                batch = std::make_shared<Batch>();
                for (const auto& item : group) {
                    batch->items.push_back(item.get());
                    m_batchOf[item.get()] = batch;
                }
            }
        }
        workGroup(group, batch ? &batch->stop : nullptr);
        if (batch) {
            std::lock_guard lock(m_mutex);
            for (const auto& item : group)
                m_batchOf.erase(item.get());
        }
        for (const auto& item : group) {
            item->stopped = !item->outcome && item->cancel.cancelled();
            item->done.store(true, std::memory_order_release);
        }
        wake();
    }
}

void ItemPipeline::workGroup(const std::vector<std::shared_ptr<ItemWork>>& group,
                             sandbox::Cancellation* together)
{
    if (group.size() == 1) {
        workFile(m_workers, m_request, *group.front());
        return;
    }
    std::vector<ItemSource> sources;
    for (const auto& item : group) {
        std::vector<std::uint8_t> bytes;
        if (readSource(*item, bytes))
            sources.push_back({item, std::move(bytes)});
    }
    if (sources.size() == 1)
        workAlone(m_workers, m_request, *sources.front().item, std::move(sources.front().bytes));
    else if (!sources.empty())
        workTogether(m_workers, m_request, sources, *together);
}

void ItemPipeline::wake() const
{
    if (m_dispatcher)
        m_dispatcher->wakeUp();
    notifyWorkFinished();
}

std::shared_ptr<ItemWork> ItemPipeline::find(int index) const
{
    const auto it = m_live.find(index);
    return it == m_live.end() ? nullptr : it->second;
}

std::shared_ptr<ItemWork> ItemPipeline::remove(int index)
{
    auto item = find(index);
    m_live.erase(index);
    return item;
}

std::shared_ptr<ItemWork> ItemPipeline::take(int index)
{
    m_firstUntaken = std::max(m_firstUntaken, index + 1);
    return remove(index);
}

void ItemPipeline::discard(int index)
{
    if (auto item = remove(index); item && !item->done.load(std::memory_order_acquire)) {
        item->cancel.cancel();
        item->stop.cancel();
        {
            // The last item of a batch to go stops the batch's worker.
            std::lock_guard lock(m_mutex);
            if (const auto found = m_batchOf.find(item.get()); found != m_batchOf.end()) {
                const auto& items = found->second->items;
                if (std::all_of(items.begin(), items.end(),
                                [](ItemWork* w) { return w->cancel.cancelled(); }))
                    found->second->stop.cancel();
            }
        }
        m_discarded.push_back(std::move(item));
    }
}

std::vector<std::shared_ptr<ItemWork>> ItemPipeline::discardAll()
{
    std::vector<std::shared_ptr<ItemWork>> works;
    for (const auto& entry : m_live)
        works.push_back(entry.second);
    while (!m_live.empty())
        discard(m_live.begin()->first);
    return works;
}

std::vector<int> ItemPipeline::started() const
{
    std::vector<int> indexes;
    for (const auto& entry : m_live)
        indexes.push_back(entry.first);
    return indexes;
}

void ItemPipeline::forgetFinishedDiscards()
{
    std::erase_if(m_discarded, [](const std::shared_ptr<ItemWork>& item) {
        return item->done.load(std::memory_order_acquire);
    });
}

int ItemPipeline::inFlight()
{
    forgetFinishedDiscards();
    return static_cast<int>(m_live.size() + m_discarded.size());
}

int ItemPipeline::running()
{
    forgetFinishedDiscards();
    return static_cast<int>(m_discarded.size()) +
           static_cast<int>(std::count_if(m_live.begin(), m_live.end(), [](const auto& entry) {
               return !entry.second->done.load(std::memory_order_acquire);
           }));
}

std::size_t ItemPipeline::heldBytes() const
{
    std::size_t bytes = 0;
    for (const auto& entry : m_live) {
        if (entry.second->done.load(std::memory_order_acquire)) {
            bytes += entry.second->result.FileSize();
        }
    }
    return bytes;
}

bool ItemPipeline::idle()
{
    forgetFinishedDiscards();
    return m_discarded.empty() && std::all_of(m_live.begin(), m_live.end(), [](const auto& entry) {
               return entry.second->done.load(std::memory_order_acquire);
           });
}

}  // namespace quarbel::jobs
