#pragma once
// WebP output from a libvips picture through our own writer on libwebp (codecs/webp): a still
// picture streams through it strip by strip, so neither its RGB pixels nor libwebp's ARGB
// copy of them are ever held whole; frames stacked with page-height become an animation.

#include "codecs/Cancel.h"

#include <vips/vips8>

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

// The picture: 8-bit, 1 to 4 bands, with the metadata fields withMetadata left it. Pass it
// by moving: the pipeline behind it is let go once its rows are in. Throws codecs::Failure
// with the reason, codecs::Cancelled (or vips::VError) once cancel is cancelled.
std::vector<std::uint8_t> encodeWebp(vips::VImage image, int quality, const codecs::CancelToken* cancel);

}  // namespace quarbel::imageservice
