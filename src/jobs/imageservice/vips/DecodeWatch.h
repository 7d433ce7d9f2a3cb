#pragma once
// Notes whether any part of a picture failed to decode. Some libvips pipelines finish with
// whatever their input gave them when reading it failed (reduce with two threads did, now
// and then, in the libvips this is built against: a cut PNG came out as a scaled picture of
// black), so the decoder's own failure is caught at the source and checked once the result
// has been made.

#include <vips/vips8>

#include <atomic>
#include <memory>

namespace quarbel::imageservice {

class DecodeWatch {
public:
    // The same picture, read through the watch (no pixels are copied).
    vips::VImage watch(const vips::VImage& decoded);
    // Throws vips::VError with libvips' error text when any part failed to decode.
    void check() const;

private:
    std::shared_ptr<std::atomic<bool>> m_failed = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace quarbel::imageservice
