#include "jobs/worker/ItemRequest.h"

#include "jobs/imageservice/ImageService.h"
#include "jobs/imageservice/ProcessText.h"

#include <charconv>

namespace quarbel::jobs::worker {

namespace is = quarbel::imageservice;

namespace {

template <typename Number>
bool takeNumber(std::string_view& text, Number& number)
{
    std::string_view field;
    if (!is::takeField(text, field))
        return false;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
    return error == std::errc() && end == field.data() + field.size();
}

}  // namespace

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
    if (!takeNumber(text, request.maxPixels) || !takeNumber(text, request.threadsPerImage) ||
        !is::takeField(text, process) || !text.empty())
        return false;
    request.process = std::string(process);
    return true;
}

}  // namespace quarbel::jobs::worker
