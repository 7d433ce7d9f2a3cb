#include "jobs/worker/ItemWorker.h"

#include "jobs/worker/PreviewRequest.h"
#include "jobs/worker/PreviewWorker.h"

#include "jobs/ThreadBudget.h"
#include "jobs/imageservice/ProcessText.h"
#include "jobs/worker/ItemBatch.h"
#include "jobs/worker/ItemRequest.h"

#include <cstring>
#include <memory>

namespace quarbel::jobs::worker {

namespace is = quarbel::imageservice;
namespace sandbox = quarbel::platform::sandbox;

namespace {

ItemAnswer failed(std::string reason) { return {sandbox::HandlerStatus::Failed, std::move(reason), {}}; }

// A job sends the same request with every item: its chain is read once.
struct Job {
    std::string text;
    ItemRequest request;
    std::unique_ptr<is::ImageProcess> process;
};

}  // namespace

ItemAnswer workOne(std::string_view request, std::span<const std::uint8_t> source)
{
    static Job job;
    if (!job.process || job.text != request) {
        ItemRequest read;
        auto process = std::make_unique<is::ImageProcess>();
        if (!requestFromText(request, read) || !is::processFromText(read.process, *process))
            return failed("the worker was given a request it does not understand");
        is::setMaxPixels(read.maxPixels);
        job = {std::string(request), std::move(read), std::move(process)};
    }

    is::ImageFile picture;
    if (auto loaded = picture.LoadView(source); !loaded)
        return failed(loaded.reason);
    const std::uint64_t pixels = std::uint64_t(picture.Width()) * std::uint64_t(picture.Height()) *
                                 std::uint64_t(picture.FrameCount());
    if (const int threads = threadsFor(pixels, job.request.threadsPerImage); threads != is::threadsPerImage())
        is::setThreadsPerImage(threads);
    ItemAnswer answer;
    if (auto applied = job.process->Apply(picture, answer.output); !applied)
        return failed(applied.reason);
    return answer;
}

sandbox::HandlerResult serve(std::string_view operation, std::span<const std::uint8_t> input,
                             sandbox::SharedBuffer& output, const ItemFunction& one)
{
    if (operation.starts_with(kBatchOperation))
        return workBatch(operation.substr(kBatchOperation.size()), input, output, one);
    if (isPreviewRequest(operation))
        return workPreview(operation, input, output);
    return workItem(operation, input, output, one);
}

sandbox::HandlerResult workItem(std::string_view request, std::span<const std::uint8_t> source,
                                sandbox::SharedBuffer& output, const ItemFunction& one)
{
    ItemAnswer answer = one(request, source);
    if (answer.status != sandbox::HandlerStatus::Done)
        return {answer.status, std::move(answer.reason)};
    if (!output.take(answer.output.TakeFileData()))
        return {sandbox::HandlerStatus::Failed, output.error()};
    return {sandbox::HandlerStatus::Done, {}};
}

sandbox::HandlerResult workBatch(std::string_view request, std::span<const std::uint8_t> input,
                                 sandbox::SharedBuffer& output, const ItemFunction& one)
{
    std::vector<BatchEntry> sources;
    if (!readBatch(input, 0, sources))
        return {sandbox::HandlerStatus::Failed, "the worker was given a batch it does not understand"};
    std::vector<ItemAnswer> answers(sources.size());
    std::vector<BatchEntry> entries(sources.size());
    std::size_t answered = 0;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (answered > kAnswerBudget) {
            entries[i].status = EntryStatus::NotDone;
            continue;
        }
        answers[i] = one(request, sources[i].bytes);
        const std::string& reason = answers[i].reason;
        const bool done = answers[i].status == sandbox::HandlerStatus::Done;
        entries[i].status = done ? EntryStatus::Done : EntryStatus::Failed;
        entries[i].bytes =
            done ? std::span<const std::uint8_t>(answers[i].output.FileData())
                 : std::span(reinterpret_cast<const std::uint8_t*>(reason.data()), reason.size());
        answered += entries[i].bytes.size();
    }
    if (!output.resize(batchSize(entries)))
        return {sandbox::HandlerStatus::Failed, output.error()};
    writeBatch(entries, {output.data(), output.size()});
    return {sandbox::HandlerStatus::Done, {}};
}

}  // namespace quarbel::jobs::worker
