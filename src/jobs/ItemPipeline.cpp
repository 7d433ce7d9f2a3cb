#include "jobs/ItemPipeline.h"

#include <QAbstractEventDispatcher>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <exception>

namespace quarbel::jobs {
namespace {

imageservice::Result work(const imageservice::ImageProcess& process, ItemWork& item) {
    try {
        imageservice::ImageFile source;
        if (auto loaded = source.LoadFile(QFile::encodeName(item.source).toStdString());
            !loaded) {
            return loaded;
        }
        return process.Apply(source, item.result);
    } catch (const std::exception& e) {
        return imageservice::Result::failure(e.what());
    } catch (...) {
        return imageservice::Result::failure("unexpected error while processing the image");
    }
}

}  // namespace

ItemPipeline::ItemPipeline(const imageservice::ImageProcess& process, int workers)
    : process_(process), dispatcher_(QAbstractEventDispatcher::instance(QThread::currentThread())) {
    pool_.setMaxThreadCount(std::max(1, workers));
}

ItemPipeline::~ItemPipeline() { pool_.waitForDone(); }

void ItemPipeline::start(int index, const QString& source, const QStringList& sourceSpellings) {
    auto item = std::make_shared<ItemWork>();
    item->source = source;
    item->sourceSpellings = sourceSpellings;
    live_[index] = item;
    const imageservice::ImageProcess& process = process_;
    QAbstractEventDispatcher* dispatcher = dispatcher_;
    pool_.start([item, &process, dispatcher] {
        item->outcome = work(process, *item);
        item->done.store(true, std::memory_order_release);
        if (dispatcher) dispatcher->wakeUp();
        notifyWorkFinished();
    });
}

void ItemPipeline::wake() const {
    if (dispatcher_) dispatcher_->wakeUp();
    notifyWorkFinished();
}

std::shared_ptr<ItemWork> ItemPipeline::find(int index) const {
    const auto it = live_.find(index);
    return it == live_.end() ? nullptr : it->second;
}

std::shared_ptr<ItemWork> ItemPipeline::take(int index) {
    auto item = find(index);
    live_.erase(index);
    return item;
}

void ItemPipeline::discard(int index) {
    if (auto item = take(index); item && !item->done.load(std::memory_order_acquire)) {
        discarded_.push_back(std::move(item));
    }
}

void ItemPipeline::discardAll() {
    while (!live_.empty()) discard(live_.begin()->first);
}

std::vector<int> ItemPipeline::started() const {
    std::vector<int> indexes;
    for (const auto& entry : live_) indexes.push_back(entry.first);
    return indexes;
}

void ItemPipeline::forgetFinishedDiscards() {
    std::erase_if(discarded_, [](const std::shared_ptr<ItemWork>& item) {
        return item->done.load(std::memory_order_acquire);
    });
}

int ItemPipeline::inFlight() {
    forgetFinishedDiscards();
    return static_cast<int>(live_.size() + discarded_.size());
}

int ItemPipeline::running() {
    forgetFinishedDiscards();
    return static_cast<int>(discarded_.size()) +
           static_cast<int>(std::count_if(live_.begin(), live_.end(), [](const auto& entry) {
               return !entry.second->done.load(std::memory_order_acquire);
           }));
}

std::size_t ItemPipeline::heldBytes() const {
    std::size_t bytes = 0;
    for (const auto& entry : live_) {
        if (entry.second->done.load(std::memory_order_acquire)) {
            bytes += entry.second->result.FileData().size();
        }
    }
    return bytes;
}

bool ItemPipeline::idle() {
    forgetFinishedDiscards();
    return discarded_.empty() &&
           std::all_of(live_.begin(), live_.end(), [](const auto& entry) {
               return entry.second->done.load(std::memory_order_acquire);
           });
}

}  // namespace quarbel::jobs
