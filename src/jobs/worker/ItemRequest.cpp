#include "jobs/worker/ItemRequest.h"

#include "jobs/imageservice/ImageService.h"
#include "jobs/imageservice/ProcessText.h"

namespace quarbel::jobs::worker {

namespace is = quarbel::imageservice;

namespace {}  // namespace

ItemRequest requestFor(const is::ImageProcess& process)
{
    return {is::maxPixels(), is::threadsPerImage(), is::processToText(process)};
}

std::string requestToText(const ItemRequest& request)
{
    std::string text;
    is::appendField(text, std::to_string(request.maxPixels));
    is::appendField(text, std::to_string(request.threadsPerImage));
    is::appendField(text, request.process);
    return text;
}

bool requestFromText(std::string_view text, ItemRequest& request)
{
    std::string_view process;
    if (!is::takeNumber(text, request.maxPixels) || !is::takeNumber(text, request.threadsPerImage) ||
        !is::takeField(text, process) || !text.empty())
        return false;
    request.process = std::string(process);
    return true;
}

}  // namespace quarbel::jobs::worker
