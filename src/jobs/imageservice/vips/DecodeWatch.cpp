#include "jobs/imageservice/vips/DecodeWatch.h"

#include "jobs/imageservice/vips/Vips.h"

namespace quarbel::imageservice {

namespace {

using Flag = std::shared_ptr<std::atomic<bool>>;

int passThrough(VipsRegion* out, void* sequence, void* /*input*/, void* flag, gboolean* /*stop*/)
{
    auto* in = static_cast<VipsRegion*>(sequence);
    const VipsRect area = out->valid;
    if (vips_region_prepare(in, &area)) {
        (*static_cast<Flag*>(flag))->store(true);
        return -1;
    }
    return vips_region_region(out, in, &area, area.left, area.top);
}

}  // namespace

vips::VImage DecodeWatch::watch(const vips::VImage& decoded)
{
    // A picture already decoded into memory has nothing left to fail.
    const VipsImageType type = decoded.get_image()->dtype;
    if (type == VIPS_IMAGE_SETBUF || type == VIPS_IMAGE_SETBUF_FOREIGN)
        return decoded;
    return vips_util::generatedFrom(decoded, passThrough, new Flag(m_failed),
                                    [](void* flag) { delete static_cast<Flag*>(flag); });
}

void DecodeWatch::check() const
{
    if (m_failed->load())
        throw vips::VError();
}

}  // namespace quarbel::imageservice
