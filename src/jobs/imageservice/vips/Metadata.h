#pragma once
// A picture's EXIF, XMP and IPTC data on their way from the source file to the output: the
// libvips savers (JPEG, WebP, AVIF, HEIC) write what the picture's fields hold and set the
// EXIF orientation themselves; our own writers (PNG, TIFF) take it from metadataOf.

#include "codecs/Metadata.h"

#include <vips/vips8>

namespace quarbel::imageservice {

enum class Metadata { Keep, Strip };

// The picture with its metadata fields as the output should carry them: none with Strip;
// with Keep the XMP's orientation follows the pixels, and a HEIF file's XMP item becomes the
// picture's XMP. The colour profile is not touched.
vips::VImage withMetadata(vips::VImage image, Metadata use);

// What our own writers store: the EXIF entries describing the picture as it is now (its
// size, orientation 1 once turned), the XMP packet and the IPTC records.
codecs::Metadata metadataOf(const vips::VImage& image);

}  // namespace quarbel::imageservice
