#pragma once
// The preview's decode: shrunk on load to fit the box (never enlarged), transparency
// flattened on white, 8-bit RGB rows without padding.

#include "jobs/imageservice/ImageService.h"

#include <cstdint>
#include <span>

namespace quarbel::imageservice {

// The bytes are a whole file. Throws vips_util::Failure or vips::VError with the reason.
PreviewResult decodeForPreview(std::span<const std::uint8_t> bytes, int maxWidth, int maxHeight);

// The picture's own size (as shown, after its orientation) from its header alone; the
// bytes may be only the file's beginning. Throws like decodeForPreview.
PreviewResult sizeForPreview(std::span<const std::uint8_t> bytes);

}  // namespace quarbel::imageservice
