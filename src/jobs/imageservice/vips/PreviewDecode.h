#pragma once
// The preview's decode: shrunk on load to fit the box (never enlarged), transparency
// flattened on white, 8-bit RGB rows without padding.

#include "jobs/imageservice/ImageService.h"

#include <cstdint>
#include <vector>

namespace quarbel::imageservice {

// The bytes are a whole file. Throws vips_util::Failure or vips::VError with the reason.
PreviewResult decodeForPreview(const std::vector<std::uint8_t>& bytes, int maxWidth, int maxHeight);

}  // namespace quarbel::imageservice
