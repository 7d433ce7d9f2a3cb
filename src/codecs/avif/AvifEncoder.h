#pragma once
// AVIF files written with libavif on aom: the picture is converted to 8-bit YUV 4:2:0
// (full range, BT.601 matrix; grey pictures too) with an alpha plane when it has one, and
// encoded as a still picture at aom's speed 9. The caller can let go of its own pixels once
// they are YUV, so that aom, which needs about 14 bytes a pixel (170 MB for a 12-megapixel
// photo), works beside one copy of the picture. One encode runs at a time in the process
// (EncodeGate.h), on every core. aom lets most of its memory go once a frame is written, so a
// picture larger than kLargestCell is written as a grid of frames (HEIF's 'grid' item, read
// by libavif and libheif), encoded one after the other: art01.png below then peaks at 200 MB
// instead of 307 MB, with 0.04% more bytes and 0.001 dB less (at quality 10, 0.8% more
// bytes and 0.002 dB less; no seam to be seen).
//
// `RUNS=1 WORKLOADS=to-avif TOOLS="quarbel vips avifenc magick2 pillow2" bench/run`, 65 files
// at quality 75 on the 2-core machine shared with other developers (load average 2 to 10, so
// the times are rough):
//   libvips' heifsave through libheif, two encodes at once (load 8):
//                  117.0 s, peak 719 MB, 69,018,974 bytes, 46.20 dB
//   this writer:    75.6 s, peak 320 MB, 69,012,599 bytes, 46.22 dB (load 2 to 4)
//   vips copy (effort 4, two at a time): 1861.8 s, 526 MB, 68,903,635 bytes, 46.74 dB
//   avifenc (speed 6, JPEG and PNG only, 50 files): 493.2 s, 432 MB, 70,507,031 bytes, 47.31 dB
//   ImageMagick (two processes): 335.1 s, 581 MB, 69,121,936 bytes, 40.60 dB; Pillow writes
//   no AVIF.
// On a quiet machine (load 1 to 2): this writer 49.9 s and 320 MB, ImageMagick two at a time
// 124.6 s and 579 MB.
// That peak was art01.png, 5120 x 2880 with alpha: aom's colour encoder alone held about
// 200 MB beside the YUV and alpha planes (avifenc needs 410 MB for that file); a 12-megapixel
// photo peaks at 230 MB. With the grid, and the decoded source let go as soon as it is YUV
// (a 12-megapixel BMP: 303 MB before, 268 MB after), to-avif peaks at 295 MB, and at 271 MB
// once conversions to AVIF take one picture at a time (ConvertJob.cpp), in 33 to 36 s on a
// quiet machine (ImageMagick two at a time: 102.2 s, 579 MB). The slower peers buy their
// half decibel with 4 to 25 times the time.

#include "codecs/Cancel.h"
#include "codecs/Metadata.h"
#include "codecs/PixelView.h"

#include <cstdint>
#include <memory>
#include <vector>

struct avifImage;

namespace quarbel::codecs::avif {

using Bytes = std::vector<std::uint8_t>;

// A 12-megapixel photo (4032 x 3024) is still one frame, which every AVIF reader takes.
constexpr std::int64_t kLargestCell = 4096 * 3072;

struct Options {
    int quality = 75;   // 1..100, as for JPEG
    Bytes profile;      // ICC; left out unless it describes RGB
    Metadata metadata;  // EXIF and XMP; AVIF has no place for IPTC
    int threads = 0;    // aom's threads, at most 64; 0 for one per core (up to 64)
    // Pixels a frame may have; a larger picture is written as a grid of frames no larger.
    std::int64_t largestCell = kLargestCell;
};

// A picture in the planes the encoder takes.
class Yuv {
public:
    Yuv();
    ~Yuv();
    Yuv(Yuv&&) noexcept;
    Yuv& operator=(Yuv&&) noexcept;

    avifImage* image() const { return m_image.get(); }

private:
    friend Yuv toYuv(const PixelView&, const CancelToken*);
    struct Free {
        void operator()(avifImage* image) const;
    };
    std::unique_ptr<avifImage, Free> m_image;
};

// The picture: 1 to 4 bands, at most 65536 pixels a side. Throws Failure with the reason,
// std::bad_alloc when memory runs out, Cancelled once the token is cancelled.
Yuv toYuv(const PixelView& picture, const CancelToken* cancel = nullptr);

// The file's bytes. The planes are released as soon as aom is done with them. The token is
// looked at before and after the encode: aom cannot be stopped part-way. Throws Failure
// with libavif's reason when the encoder refuses the picture.
Bytes encode(Yuv picture, const Options& options, const CancelToken* cancel = nullptr);

inline Bytes encode(const PixelView& picture, const Options& options = {})
{
    return encode(toYuv(picture), options);
}

}  // namespace quarbel::codecs::avif
