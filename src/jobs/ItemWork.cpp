#include "jobs/ItemWork.h"

#include "jobs/worker/ItemBatch.h"
#include "platform/files/ReadFile.h"
#include "platform/sandbox/FileBytes.h"

#include <QFile>
#include <exception>

namespace quarbel::jobs {

namespace sandbox = platform::sandbox;

namespace {

const std::string kCancelled = "cancelled";

// Catches what the work may throw (out of memory), so the item fails with a reason.
template <typename Work>
imageservice::Result guarded(Work&& work)
{
    try {
        return work();
    } catch (const std::exception& e) {
        return imageservice::Result::failure(e.what());
    } catch (...) {
        return imageservice::Result::failure("unexpected error while processing the image");
    }
}

}  // namespace

bool readSource(ItemWork& item, std::vector<std::uint8_t>& bytes)
{
    item.outcome = guarded([&] {
        if (auto read = platform::files::readWholeFile(QFile::encodeName(item.source).toStdString(), bytes);
            !read)
            return imageservice::Result::failure(read.reason);
        if (item.cancel.cancelled())
            return imageservice::Result::failure(kCancelled);
        return imageservice::Result::success();
    });
    return bool(item.outcome);
}

namespace {

// The source's bytes are parsed only in a worker; its answer is the finished file's bytes.
imageservice::Result sendAlone(sandbox::WorkerPool& workers, const std::string& request, ItemWork& item,
                               sandbox::SharedBuffer source)
{
    return guarded([&] {
        sandbox::WorkResult done = workers.run(request, std::move(source), &item.stop);
        if (done.outcome != sandbox::WorkOutcome::Done)
            return imageservice::Result::failure(done.reason);
        // Written from the worker's own pages by the kernel: a large BMP or TIFF is neither
        // mapped nor copied here.
        auto output = std::make_shared<sandbox::SharedBuffer>(std::move(done.output));
        const auto made = output->bytes();
        const int fd = output->fd();
        item.result = imageservice::ImageFile::Encoded(std::move(output), made, fd);
        return imageservice::Result::success();
    });
}

}  // namespace

void workAlone(sandbox::WorkerPool& workers, const std::string& request, ItemWork& item,
               std::vector<std::uint8_t> bytes)
{
    item.outcome = guarded([&] {
        sandbox::SharedBuffer source = sandbox::SharedBuffer::create(0);
        if (!source.assign(bytes))
            return imageservice::Result::failure(source.error());
        bytes = {};
        return sendAlone(workers, request, item, std::move(source));
    });
}

void workFile(sandbox::WorkerPool& workers, const std::string& request, ItemWork& item)
{
    item.outcome = guarded([&] {
        std::string reason;
        sandbox::SharedBuffer source =
            sandbox::fileBytes(QFile::encodeName(item.source).toStdString(), platform::files::kMaxFileBytes,
                               sandbox::LongerFile::Refuse, reason);
        if (!source.valid())
            return imageservice::Result::failure(reason);
        if (item.cancel.cancelled())
            return imageservice::Result::failure(kCancelled);
        return sendAlone(workers, request, item, std::move(source));
    });
}

void workTogether(sandbox::WorkerPool& workers, const std::string& request, std::vector<ItemSource>& items,
                  sandbox::Cancellation& stop)
{
    std::vector<bool> settled(items.size(), false);
    // Whatever stopped the batch as a whole (its reason is each item's own, found alone).
    guarded([&] {
        std::vector<worker::BatchEntry> entries;
        for (const ItemSource& item : items)
            entries.push_back({worker::EntryStatus::Done, item.bytes});
        sandbox::SharedBuffer sources = sandbox::SharedBuffer::create(worker::batchSize(entries));
        if (!sources.valid())
            return imageservice::Result::failure(sources.error());
        worker::writeBatch(entries, {sources.data(), sources.size()});
        sandbox::WorkResult done =
            workers.run(std::string(worker::kBatchOperation) + request, std::move(sources), &stop);
        if (done.outcome != sandbox::WorkOutcome::Done)
            return imageservice::Result::failure(done.reason);
        auto output = std::make_shared<sandbox::SharedBuffer>(std::move(done.output));
        std::vector<worker::BatchEntry> answers;
        if (!worker::readBatch(output->bytes(), items.size(), answers))
            return imageservice::Result::failure("the worker's answer is not understood");
        for (std::size_t i = 0; i < items.size(); ++i) {
            ItemWork& item = *items[i].item;
            const auto bytes = answers[i].bytes;
            switch (answers[i].status) {
            case worker::EntryStatus::Done:
                item.result = imageservice::ImageFile::Encoded(output, bytes);
                item.outcome = imageservice::Result::success();
                settled[i] = true;
                break;
            case worker::EntryStatus::Failed:
                item.outcome = imageservice::Result::failure(sandbox::cleanedReason(
                    std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
                settled[i] = true;
                break;
            case worker::EntryStatus::NotDone: break;  // goes alone below
            }
        }
        return imageservice::Result::success();
    });
    // What the batch did not settle goes alone: after a crash each picture meets a fresh
    // worker of its own, so only the one that crashes it fails.
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (settled[i])
            continue;
        ItemWork& item = *items[i].item;
        if (item.cancel.cancelled())
            item.outcome = imageservice::Result::failure(kCancelled);
        else
            workAlone(workers, request, item, std::move(items[i].bytes));
    }
}

}  // namespace quarbel::jobs
