#include "jobs/imageservice/vips/PreviewDecode.h"

#include "jobs/imageservice/vips/Decode.h"
#include "jobs/imageservice/vips/DecodeWatch.h"
#include "jobs/imageservice/vips/Pixels.h"
#include "jobs/imageservice/vips/Vips.h"

#include <algorithm>
#include <cmath>

namespace quarbel::imageservice {

using vips::VImage;

PreviewResult decodeForPreview(const std::vector<std::uint8_t>& bytes, int maxWidth, int maxHeight)
{
    PreviewResult preview;
    const Format format = sniffFormat(bytes.data(), bytes.size());
    if (format == Format::Unknown)
        throw vips_util::Failure("not a supported image format");
    const SourceInfo info = readHeader(bytes.data(), bytes.size(), format);
    preview.fullWidth = info.shownWidth();
    preview.fullHeight = info.shownHeight();

    const double factor = std::min({1.0, double(maxWidth) / preview.fullWidth, double(maxHeight) / preview.fullHeight});
    const int width = std::max(1, int(std::lrint(preview.fullWidth * factor)));
    const int height = std::max(1, int(std::lrint(preview.fullHeight * factor)));

    LoadRequest request;
    request.randomAccess = info.orientation != 1;
    if (format == Format::Jpeg) {
        const int storedW = info.turned() ? height : width, storedH = info.turned() ? width : height;
        for (int shrink : {8, 4, 2})
            if (info.width / shrink >= storedW && info.height / shrink >= storedH) {
                request.jpegShrink = shrink;
                break;
            }
    }
    DecodeWatch decoding;
    VImage image = pixels::upright(decoding.watch(openPicture(bytes.data(), bytes.size(), info, request)));
    if (image.width() != width || image.height() != height)
        image = pixels::scaleTo(image, width, height);
    image = pixels::flattenOnWhite(pixels::toDisplay(image));
    if (image.bands() == 1)
        image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    image = image.copy_memory();
    decoding.check();
    preview.width = image.width();
    preview.height = image.height();
    const auto* data = static_cast<const std::uint8_t*>(image.data());
    preview.rgb.assign(data, data + std::size_t(preview.width) * preview.height * 3);
    return preview;
}

}  // namespace quarbel::imageservice
