#include "jobs/imageservice/ImageService.h"
#include "jobs/imageservice/vips/Guard.h"
#include "jobs/imageservice/vips/PreviewDecode.h"
#include "platform/files/ReadFile.h"

namespace quarbel::imageservice {

namespace {

// Runs decode under the library guard: whatever fails becomes the result's reason.
template <typename Decode>
PreviewResult guardedPreview(int maxWidth, int maxHeight, Decode decode)
{
    initialize();
    PreviewResult preview;
    if (maxWidth < 1 || maxHeight < 1) {
        preview.result = Result::failure("the preview box is empty");
        return preview;
    }
    const Result decoded = vips_util::guarded([&] { preview = decode(); });
    if (!decoded) {
        preview = PreviewResult();
        preview.result = decoded;
    }
    return preview;
}

}  // namespace

PreviewResult decodePreview(const std::string& path, int maxWidth, int maxHeight)
{
    return guardedPreview(maxWidth, maxHeight, [&] {
        std::vector<std::uint8_t> bytes;
        if (auto r = platform::files::readWholeFile(path, bytes); !r)
            throw vips_util::Failure(r.reason);
        return decodeForPreview(bytes, maxWidth, maxHeight);
    });
}

PreviewResult decodePreview(std::span<const std::uint8_t> bytes, int maxWidth, int maxHeight)
{
    return guardedPreview(maxWidth, maxHeight, [&] { return decodeForPreview(bytes, maxWidth, maxHeight); });
}

PreviewResult readPreviewSize(std::span<const std::uint8_t> bytes)
{
    return guardedPreview(1, 1, [&] { return sizeForPreview(bytes); });
}

}  // namespace quarbel::imageservice
