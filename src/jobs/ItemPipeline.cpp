#include "jobs/ItemPipeline.h"

#include "jobs/WorkerSettings.h"
#include "jobs/worker/ItemRequest.h"
#include "platform/files/ReadFile.h"

#include <QAbstractEventDispatcher>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <exception>

namespace quarbel::jobs {
namespace {

// The source's bytes are read here and parsed only in a worker; its answer is the finished
// file's bytes.
imageservice::Result work(platform::sandbox::WorkerPool& workers, const std::string& request, ItemWork& item)
{
    namespace sandbox = platform::sandbox;
    try {
        std::vector<std::uint8_t> bytes;
        if (auto read = platform::files::readWholeFile(QFile::encodeName(item.source).toStdString(), bytes);
            !read)
            return imageservice::Result::failure(read.reason);
        if (item.cancel.cancelled())
            return imageservice::Result::failure("cancelled");
        sandbox::SharedBuffer source = sandbox::SharedBuffer::create(0);
        if (!source.assign(bytes))
            return imageservice::Result::failure(source.error());
        bytes = {};
        sandbox::WorkResult done = workers.run(request, std::move(source), &item.stop);
        if (done.outcome != sandbox::WorkOutcome::Done)
            return imageservice::Result::failure(done.reason);
        // Written from the worker's own pages: a large BMP or TIFF is not copied again.
        auto output = std::make_shared<sandbox::SharedBuffer>(std::move(done.output));
        const auto made = output->bytes();
        item.result = imageservice::ImageFile::Encoded(std::move(output), made);
        return imageservice::Result::success();
    } catch (const std::exception& e) {
        return imageservice::Result::failure(e.what());
    } catch (...) {
        return imageservice::Result::failure("unexpected error while processing the image");
    }
}

}  // namespace

ItemPipeline::ItemPipeline(const imageservice::ImageProcess& process, int workers)
    : m_request(worker::requestToText(worker::requestFor(process))),
      m_workers(jobWorkerOptions(), std::max(1, workers)),
      m_dispatcher(QAbstractEventDispatcher::instance(QThread::currentThread()))
{
    m_pool.setMaxThreadCount(std::max(1, workers));
}

ItemPipeline::~ItemPipeline() { m_pool.waitForDone(); }

void ItemPipeline::start(int index, const QString& source, const QStringList& sourceSpellings)
{
    if (index < m_firstUntaken)
        return;
    auto item = std::make_shared<ItemWork>();
    item->source = source;
    item->sourceSpellings = sourceSpellings;
    m_live[index] = item;
    QAbstractEventDispatcher* dispatcher = m_dispatcher;
    m_pool.start([this, item, dispatcher] {
        item->outcome = work(m_workers, m_request, *item);
        item->stopped = !item->outcome && item->cancel.cancelled();
        item->done.store(true, std::memory_order_release);
        if (dispatcher)
            dispatcher->wakeUp();
        notifyWorkFinished();
    });
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
