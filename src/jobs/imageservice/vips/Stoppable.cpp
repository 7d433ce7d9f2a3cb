#include "jobs/imageservice/vips/Stoppable.h"

#include "jobs/imageservice/vips/Vips.h"

namespace quarbel::imageservice {

namespace {

int passUnlessCancelled(VipsRegion* out, void* sequence, void* /*input*/, void* token, gboolean* /*stop*/)
{
    if (static_cast<const codecs::CancelToken*>(token)->cancelled()) {
        // The other threads of the evaluation see the flag at their next region.
        vips_image_set_kill(out->im, TRUE);
        vips_error("quarbel", "%s", "cancelled");
        return -1;
    }
    auto* in = static_cast<VipsRegion*>(sequence);
    const VipsRect area = out->valid;
    if (vips_region_prepare(in, &area))
        return -1;
    return vips_region_region(out, in, &area, area.left, area.top);
}

}  // namespace

vips::VImage stoppable(const vips::VImage& image, const codecs::CancelToken* cancel, InMemory inMemory)
{
    if (!cancel)
        return image;
    const VipsImageType type = image.get_image()->dtype;
    if (inMemory == InMemory::Pass && (type == VIPS_IMAGE_SETBUF || type == VIPS_IMAGE_SETBUF_FOREIGN))
        return image;
    // The token outlives the picture: it belongs to the work that made the picture.
    return vips_util::generatedFrom(image, passUnlessCancelled, const_cast<codecs::CancelToken*>(cancel));
}

}  // namespace quarbel::imageservice
