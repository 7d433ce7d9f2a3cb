#include "jobs/worker/ItemWorker.h"

#include "jobs/imageservice/ImageService.h"
#include "jobs/imageservice/ProcessText.h"
#include "jobs/worker/ItemRequest.h"

#include <memory>

namespace quarbel::jobs::worker {

namespace is = quarbel::imageservice;
namespace sandbox = quarbel::platform::sandbox;

namespace {

sandbox::HandlerResult failed(std::string reason)
{
    return {sandbox::HandlerStatus::Failed, std::move(reason)};
}

// A job sends the same request with every item: its chain is read once.
struct Job {
    std::string text;
    ItemRequest request;
    std::unique_ptr<is::ImageProcess> process;
};

}  // namespace

sandbox::HandlerResult workItem(std::string_view request, std::span<const std::uint8_t> source,
                                sandbox::SharedBuffer& output)
{
    static Job job;
    if (!job.process || job.text != request) {
        ItemRequest read;
        auto process = std::make_unique<is::ImageProcess>();
        if (!requestFromText(request, read) || !is::processFromText(read.process, *process))
            return failed("the worker was given a request it does not understand");
        is::setThreadsPerImage(read.threadsPerImage);
        is::setMaxPixels(read.maxPixels);
        job = {std::string(request), std::move(read), std::move(process)};
    }

    is::ImageFile picture;
    if (auto loaded = picture.LoadBytes({source.begin(), source.end()}); !loaded)
        return failed(loaded.reason);
    is::ImageFile result;
    if (auto applied = job.process->Apply(picture, result); !applied)
        return failed(applied.reason);
    picture = is::ImageFile();  // the source's memory goes before the output is copied

    if (!output.assign(result.FileData()))
        return failed(output.error());
    return {sandbox::HandlerStatus::Done, {}};
}

}  // namespace quarbel::jobs::worker
