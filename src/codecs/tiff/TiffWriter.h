#pragma once
// TIFF files, losslessly compressed: a baseline little-endian TIFF written here, in strips
// compressed with libdeflate (Adobe Deflate) after horizontal differencing. Rows come in a
// few at a time, so the picture is never held whole; frames stacked top to bottom become
// pages, one directory each.
//
// Measured against libtiff (4.5, built with libdeflate) writing the same strips at the same
// level and predictor with TIFFWriteEncodedStrip, bench/codec_compare tiff on the 65 files of
// the bench corpus, one thread, on a loaded 2-core machine: 317.7 s and 750,874,456 bytes
// here, 311.7 s and 750,870,296 bytes through libtiff, a tie within the noise. libtiff would
// bring BigTIFF for files over 4 GiB, which this writer refuses.

#include "codecs/Cancel.h"
#include "codecs/Metadata.h"
#include "codecs/PixelView.h"
#include "codecs/tiff/TiffDirectory.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace quarbel::codecs::tiff {

enum Unit : std::uint16_t { Inch = 2, Centimetre = 3 };

struct Layout {
    std::uint32_t width = 0, pageHeight = 0, pages = 1;
    int samples = 3;  // per pixel: grey, grey+alpha, RGB or RGBA
    Rational xres{72, 1}, yres{72, 1};
    Unit resolutionUnit = Inch;
    Bytes profile;      // ICC, may be empty
    Metadata metadata;  // in the first page's directory: EXIF as IFD0 fields and sub-directories
};

class TiffWriter {
public:
    // maxFileSize: a smaller ceiling than the format's 4 GiB on the file's size (for tests).
    // cancel, when given, is looked at before each strip is compressed.
    explicit TiffWriter(const Layout& layout, std::uint64_t maxFileSize = 0xFFFFFFFFu,
                        const CancelToken* cancel = nullptr);
    ~TiffWriter();
    TiffWriter(const TiffWriter&) = delete;
    TiffWriter& operator=(const TiffWriter&) = delete;

    // The next rows of the picture, top to bottom, `layout.samples` bands each. Throws
    // Failure when the file would grow too large, Cancelled once the token is cancelled.
    void add(const PixelView& rows);
    // The finished file; throws Failure when rows are missing.
    Bytes take();

private:
    class Strips;
    std::unique_ptr<Strips> m_strips;
};

// A whole picture at once.
Bytes encode(const PixelView& picture, const Layout& layout);

}  // namespace quarbel::codecs::tiff
