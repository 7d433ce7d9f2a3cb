#include "jobs/imageservice/vips/Png.h"

#include "codecs/png/PngEncoder.h"
#include "jobs/imageservice/vips/Metadata.h"
#include "jobs/imageservice/vips/Stoppable.h"
#include "jobs/imageservice/vips/Vips.h"

namespace quarbel::imageservice {

namespace {

using vips::VImage;

// Above this many bytes of raw pixels the picture streams through libvips instead.
constexpr std::size_t kInMemoryLimit = 48u << 20;
// The level our own writer uses too (see codecs/png/PngEncoder.h).
constexpr int kLevel = 4;

std::vector<std::uint8_t> viaLibvips(VImage image, const codecs::CancelToken* cancel)
{
    image = stoppable(image, cancel, InMemory::Wrap);
    return vips_util::take(image.pngsave_buffer(
        VImage::option()->set("compression", kLevel)->set("filter", VIPS_FOREIGN_PNG_FILTER_ALL)));
}

}  // namespace

std::vector<std::uint8_t> encodePng(VImage image, const codecs::CancelToken* cancel)
{
    const std::size_t pixels = std::size_t(image.width()) * std::size_t(image.height());
    const int bands = image.bands();
    if (image.format() != VIPS_FORMAT_UCHAR || bands < 1 || bands > 4 || pixels * bands > kInMemoryLimit)
        return viaLibvips(image, cancel);
    codecs::png::Options options;
    options.profile = vips_util::iccProfileOf(image);
    options.metadata = metadataOf(image);
    image = image.copy_memory();
    codecs::png::FilteredRows rows = codecs::png::filter(vips_util::viewOf(image), cancel);
    image = VImage();  // the decoded pixels are not needed any more
    return codecs::png::write(rows, options, cancel);
}

}  // namespace quarbel::imageservice
