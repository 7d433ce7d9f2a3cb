#pragma once
// Convert's fast path for JPEG to JPEG: the coefficients are requantised instead of decoding
// to pixels and encoding again (see codecs/jpeg/Transcode.h). It writes the same metadata
// segments as the pixel path would and is taken only where its result matches that path's.
// It is off until it beats the pixel path on time and memory; QUARBEL_JPEG_TRANSCODE=1 in
// the environment turns it on (for the benchmark and the tests).

#include "jobs/imageservice/vips/Decode.h"

#include <optional>
#include <span>
#include <vector>

namespace quarbel::imageservice {

bool jpegTranscodeEnabled();

// The finished file, or nothing when the pixel path has to do the work: the file is not
// eligible, or reading it failed (the pixel path then finds the same fault and gives its
// reason, so a broken file fails alike on both paths).
std::optional<std::vector<std::uint8_t>> transcodeJpeg(std::span<const std::uint8_t> bytes,
                                                       const SourceInfo& info, int quality);

}  // namespace quarbel::imageservice
