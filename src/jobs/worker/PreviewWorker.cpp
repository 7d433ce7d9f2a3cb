#include "jobs/worker/PreviewWorker.h"

#include "jobs/imageservice/ImageService.h"
#include "jobs/worker/PreviewRequest.h"

#include <sys/resource.h>

namespace quarbel::jobs::worker {

namespace is = quarbel::imageservice;
namespace sandbox = quarbel::platform::sandbox;

namespace {

constexpr int kPreviewNiceness = 10;

}  // namespace

sandbox::HandlerResult workPreview(std::string_view text, std::span<const std::uint8_t> source,
                                   sandbox::SharedBuffer& output)
{
    // Previews yield the processor to the window that waits for them: the person's clicks
    // and keys come first. Threads started afterwards (libvips') inherit the lower priority.
    static const bool yielding = ::setpriority(PRIO_PROCESS, 0, kPreviewNiceness) == 0;
    (void)yielding;
    PreviewRequest request;
    if (!previewRequestFromText(text, request))
        return {sandbox::HandlerStatus::Failed, "the worker was given a request it does not understand"};
    is::setMaxPixels(request.maxPixels);
    is::setThreadsPerImage(request.threadsPerImage);
    const is::PreviewResult preview = request.part == PreviewPart::Size
                                          ? is::readPreviewSize(source)
                                          : is::decodePreview(source, request.boxWidth, request.boxHeight);
    if (!preview.result)
        return {sandbox::HandlerStatus::Failed, preview.result.reason};
    if (!writePreviewAnswer(preview, output))
        return {sandbox::HandlerStatus::Failed, output.error()};
    return {sandbox::HandlerStatus::Done, {}};
}

}  // namespace quarbel::jobs::worker
