#pragma once
// Stopping libvips part-way through a picture. libvips computes a picture region by region
// on its own threads; a picture read through stoppable() looks at the cancel token before
// each region, and once the token is cancelled it sets libvips' kill flag on itself and
// fails the region, so that whatever is being computed from it (a scale, an encoder, a copy
// into memory) stops at its next region instead of running to the end of the picture.

#include "codecs/Cancel.h"

#include <vips/vips8>

namespace quarbel::imageservice {

enum class InMemory {
    Pass,  // a picture already in memory is returned as it is (our encoders take its pixels)
    Wrap,  // read through the token in any case (libvips' own savers stream it)
};

// The same picture, read through the token (no pixels are copied). Without a token the
// picture itself.
vips::VImage stoppable(const vips::VImage& image, const codecs::CancelToken* cancel,
                       InMemory inMemory = InMemory::Pass);

}  // namespace quarbel::imageservice
