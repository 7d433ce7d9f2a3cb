#include "jobs/worker/PreviewRequest.h"

#include "jobs/imageservice/ImageService.h"
#include "jobs/imageservice/ProcessText.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace quarbel::jobs::worker {

namespace is = quarbel::imageservice;

namespace {

constexpr std::string_view kPreview = "preview";
constexpr std::string_view kSize = "size";
constexpr std::string_view kPicture = "picture";
constexpr std::size_t kAnswerHead = 4 * sizeof(std::uint32_t);

bool positive(std::uint32_t n) { return n > 0 && n <= std::uint32_t(std::numeric_limits<int>::max()); }

}  // namespace

PreviewRequest previewRequestFor(PreviewPart part, int boxWidth, int boxHeight)
{
    return {part, is::maxPixels(), is::threadsPerImage(), boxWidth, boxHeight};
}

std::string previewRequestToText(const PreviewRequest& request)
{
    std::string text;
    is::appendField(text, kPreview);
    is::appendField(text, request.part == PreviewPart::Size ? kSize : kPicture);
    is::appendField(text, std::to_string(request.maxPixels));
    is::appendField(text, std::to_string(request.threadsPerImage));
    is::appendField(text, std::to_string(request.boxWidth));
    is::appendField(text, std::to_string(request.boxHeight));
    return text;
}

bool isPreviewRequest(std::string_view text)
{
    std::string_view first;
    return is::takeField(text, first) && first == kPreview;
}

bool previewRequestFromText(std::string_view text, PreviewRequest& request)
{
    std::string_view first, part;
    if (!is::takeField(text, first) || first != kPreview || !is::takeField(text, part) ||
        (part != kSize && part != kPicture))
        return false;
    request.part = part == kSize ? PreviewPart::Size : PreviewPart::Picture;
    if (!is::takeNumber(text, request.maxPixels) || !is::takeNumber(text, request.threadsPerImage) ||
        !is::takeNumber(text, request.boxWidth) || !is::takeNumber(text, request.boxHeight) || !text.empty())
        return false;
    if (request.part == PreviewPart::Picture && (request.boxWidth < 1 || request.boxHeight < 1))
        return false;
    return request.threadsPerImage >= 1;
}

bool writePreviewAnswer(const is::PreviewResult& preview, platform::sandbox::SharedBuffer& output)
{
    const std::size_t pixels = preview.rgb.size();
    if (!output.resize(kAnswerHead + pixels))
        return false;
    const std::uint32_t head[4] = {std::uint32_t(preview.fullWidth), std::uint32_t(preview.fullHeight),
                                   std::uint32_t(preview.width), std::uint32_t(preview.height)};
    std::memcpy(output.data(), head, kAnswerHead);
    std::copy(preview.rgb.begin(), preview.rgb.end(), output.data() + kAnswerHead);
    return true;
}

std::optional<PreviewAnswer> readPreviewAnswer(const PreviewRequest& request,
                                               std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kAnswerHead)
        return std::nullopt;
    std::uint32_t head[4];
    std::memcpy(head, bytes.data(), kAnswerHead);
    if (!positive(head[0]) || !positive(head[1]))
        return std::nullopt;
    PreviewAnswer answer{int(head[0]), int(head[1]), 0, 0, bytes.subspan(kAnswerHead)};
    if (request.part == PreviewPart::Size)
        return head[2] == 0 && head[3] == 0 && answer.rgb.empty() ? std::optional(answer) : std::nullopt;

    // The box-sized picture: never larger than the box nor than the picture itself.
    if (!positive(head[2]) || !positive(head[3]) || head[2] > std::uint32_t(request.boxWidth) ||
        head[3] > std::uint32_t(request.boxHeight) || head[2] > head[0] || head[3] > head[1])
        return std::nullopt;
    answer.width = int(head[2]);
    answer.height = int(head[3]);
    if (answer.rgb.size() != std::size_t(answer.width) * std::size_t(answer.height) * 3)
        return std::nullopt;
    return answer;
}

}  // namespace quarbel::jobs::worker
