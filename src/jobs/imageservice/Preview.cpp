#include "jobs/imageservice/ImageService.h"
#include "jobs/imageservice/vips/Guard.h"
#include "jobs/imageservice/vips/PreviewDecode.h"
#include "platform/files/ReadFile.h"

namespace quarbel::imageservice {

PreviewResult decodePreview(const std::string& path, int maxWidth, int maxHeight)
{
    initialize();
    PreviewResult preview;
    if (maxWidth < 1 || maxHeight < 1) {
        preview.result = Result::failure("the preview box is empty");
        return preview;
    }
    const Result decoded = vips_util::guarded([&] {
        std::vector<std::uint8_t> bytes;
        if (auto r = platform::files::readWholeFile(path, bytes); !r)
            throw vips_util::Failure(r.reason);
        preview = decodeForPreview(bytes, maxWidth, maxHeight);
    });
    if (!decoded) {
        preview = PreviewResult();
        preview.result = decoded;
    }
    return preview;
}

}  // namespace quarbel::imageservice
