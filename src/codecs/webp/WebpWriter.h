#pragma once
// Lossy WebP files on libwebp. A still picture arrives top to bottom in strips of rows and is
// turned into libwebp's YUV 4:2:0 planes (with an alpha plane when it has one) as it comes, so
// whoever hands the rows can let them go strip by strip and the RGB pixels are never held
// whole here; frames stacked top to bottom become an animation. The ICC profile, EXIF and XMP
// go into the file's chunks (WebP holds no IPTC). Errors are Failures with a reason;
// cancelling stops the encoder part-way with Cancelled.
//
// Written for memory: libvips' WebP saver holds the whole picture, then libwebp's ARGB copy
// of it, then the planes. Peak memory of quarbel-batch --jobs 1 on the bench corpus's
// art01.png (5120 x 2880 RGBA), /usr/bin/time: 280 MB through libvips' saver, 218 MB here, of
// which about 120 MB is libwebp's lossless coding of the alpha plane (the same picture
// without alpha: 96 MB here); cwebp -m 1 takes 166 MB.

#include "codecs/Cancel.h"
#include "codecs/Metadata.h"
#include "codecs/PixelView.h"

#include <memory>
#include <vector>

namespace quarbel::codecs::webp {

struct Options {
    int quality = 75;  // libwebp's lossy quality, 0 .. 100
    Bytes profile;     // ICC, may be empty
    Metadata metadata;
    const CancelToken* cancel = nullptr;
};

class StillWriter {
public:
    // bands: 1 grey, 2 grey + alpha, 3 RGB, 4 RGBA. Throws Failure for a size WebP cannot hold.
    StillWriter(int width, int height, int bands, Options options);
    ~StillWriter();
    StillWriter(const StillWriter&) = delete;
    StillWriter& operator=(const StillWriter&) = delete;

    // The next rows, top to bottom; the view may go once this returns. Throws Cancelled once
    // the token is cancelled.
    void add(const PixelView& rows);
    // The finished file; throws Failure when rows are missing or libwebp refuses the picture.
    Bytes finish();

private:
    class Rows;
    std::unique_ptr<Rows> m_rows;
    Options m_options;
};

// A whole still picture at once.
Bytes encode(const PixelView& picture, const Options& options);

struct Animation {
    PixelView frames;         // the frames stacked top to bottom
    int pageHeight = 0;       // one frame's height
    std::vector<int> delays;  // milliseconds per frame
    int loop = 0;             // how many times it plays, 0 for ever
};

Bytes encode(const Animation& animation, const Options& options);

}  // namespace quarbel::codecs::webp
