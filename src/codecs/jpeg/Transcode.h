#pragma once
// JPEG to JPEG at another quality without leaving the frequency domain: the source's DCT
// coefficients are read, each is replaced by the nearest multiple of the target table's step
// (from its dequantised value, so the error is what a re-encode from pixels makes), and they
// are written with the target quality's tables. No inverse or forward DCT, no colour
// conversion, no resampling: on the benchmark's 12-megapixel photographs this takes a
// fraction of a decode and re-encode (see bench/run, workload jpg75).
//
// Only files whose result matches a re-encode from pixels are taken; for every other file
// the result says why, and the caller encodes from pixels.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quarbel::codecs::jpeg {

// The chroma sampling a re-encode from pixels would write; a source sampled otherwise takes
// the pixel path. Keeping a 4:2:0 source's chroma where 4:4:4 is written was measured: on 12
// photographs from q92 to q90 it came within 0.13 dB of the re-encode's PSNR with 8% fewer
// bytes, but on a picture with fine chroma detail it fell 3 dB short. A 4:4:4 source kept
// where 4:2:0 is written would be far larger.
enum class Chroma {
    Halved,  // 4:2:0
    Full,    // 4:4:4
};

// A segment written as it is: code JPEG_APP0 + n (0xE0..0xEF) or 0xFE (comment), payload
// without the marker and length.
struct Marker {
    int code = 0;
    std::vector<std::uint8_t> payload;
};

struct Target {
    int quality = 75;  // libjpeg's scale of the standard tables, 1..100
    Chroma chroma = Chroma::Halved;
    std::vector<Marker> markers;  // the metadata segments of the output, in order
    // Files whose coefficients would take more memory than this take the pixel path, which
    // streams.
    std::size_t maxCoefficientBytes = std::size_t(64) << 20;
};

enum class Outcome {
    Requantised,  // written with the target's tables
    Copied,       // the target's steps would be finer everywhere: coefficients kept as they are
    NotEligible,  // nothing written; reason says why the pixel path is needed
    Failed,       // the file is corrupt or incomplete; reason says what libjpeg found
};

struct Transcoded {
    Outcome outcome = Outcome::Failed;
    std::string reason;
    std::vector<std::uint8_t> bytes;  // the complete output file
    // Requantised or Copied (bytes are empty after decide).
    bool written() const { return outcome == Outcome::Requantised || outcome == Outcome::Copied; }
};

Transcoded transcode(const std::uint8_t* data, std::size_t size, const Target& target);

// What transcode would do, from the header alone (no coefficients read, nothing written, the
// markers unused): a caller decides with it before preparing the markers. A file whose
// tables change between scans is known only to transcode.
Transcoded decide(const std::uint8_t* data, std::size_t size, const Target& target);

// Metadata segments (APPn, COM) of a JPEG file, in order, up to its first scan.
std::vector<Marker> metadataSegments(const std::uint8_t* data, std::size_t size);

}  // namespace quarbel::codecs::jpeg
