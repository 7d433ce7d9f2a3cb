#pragma once
// The file around libwebp's output: the ICC profile, EXIF and XMP chunks added through
// WebPMux, which also sets the extended header's flags for them.

#include "codecs/webp/WebpWriter.h"

#include <webp/mux_types.h>

namespace quarbel::codecs::webp {

// The bytes libwebp handed out, which it then releases.
Bytes take(WebPData& data);

// The file as libwebp wrote it when there is nothing to add, else with the chunks.
Bytes withChunks(Bytes file, const Options& options);

}  // namespace quarbel::codecs::webp
