#pragma once
// What the window asks a worker process for a preview, and the worker's answer, both as
// they travel: the request as the text of a Work message (its first field "preview", which
// no job request starts with), the answer as the bytes of the reply.
//
// The answer is distrusted by the program: readPreviewAnswer checks every number against
// what was asked and against the bytes that came, so a worker gone bad can at worst give a
// wrong picture of the asked size.

#include "platform/sandbox/SharedBuffer.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quarbel::imageservice {
struct PreviewResult;
}

namespace quarbel::jobs::worker {

enum class PreviewPart {
    Size,     // the picture's own size from its header (the bytes may be the file's beginning)
    Picture,  // the picture shrunk to fit the box, with its own size
};

struct PreviewRequest {
    PreviewPart part = PreviewPart::Picture;
    std::uint64_t maxPixels = 0;
    int threadsPerImage = 1;
    int boxWidth = 0, boxHeight = 0;  // for Picture
};

// The request for this part under the calling process's current Image Service settings.
PreviewRequest previewRequestFor(PreviewPart part, int boxWidth = 0, int boxHeight = 0);

std::string previewRequestToText(const PreviewRequest& request);
// False for anything but a well-formed preview request.
bool previewRequestFromText(std::string_view text, PreviewRequest& request);
bool isPreviewRequest(std::string_view text);

struct PreviewAnswer {
    int fullWidth = 0, fullHeight = 0;  // as shown
    int width = 0, height = 0;          // of rgb; 0 for a Size answer
    std::span<const std::uint8_t> rgb;  // rows of width * 3 bytes, no padding
};

// The worker's side: the answer into output (a writable buffer). False with output.error().
bool writePreviewAnswer(const imageservice::PreviewResult& preview, platform::sandbox::SharedBuffer& output);
// The program's side: the answer to request in bytes, or nothing when anything does not add
// up (sizes of nothing or past the box, a picture not shrunk as asked, bytes missing or extra).
std::optional<PreviewAnswer> readPreviewAnswer(const PreviewRequest& request,
                                               std::span<const std::uint8_t> bytes);

}  // namespace quarbel::jobs::worker
