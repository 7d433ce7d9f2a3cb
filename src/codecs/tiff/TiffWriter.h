#pragma once
// TIFF files, losslessly compressed, written through libtiff: strips compressed with Adobe
// Deflate after horizontal differencing (libtiff hands whole strips to libdeflate). Rows come
// in a few at a time, so the picture is never held whole; frames stacked top to bottom become
// pages, one directory each. A file that could outgrow classic TIFF's 4 GiB is written as
// BigTIFF.
//
// Why libtiff rather than our own writer: bench/codec_compare tiff on the 65 files of the
// bench corpus, one thread, on a loaded 2-core machine, gave 317.7 s and 750,874,456 bytes for
// the directory writer we had and 311.7 s and 750,870,296 bytes for libtiff 4.5 (built with
// libdeflate) writing the same strips at the same level: a tie, and libtiff brings BigTIFF,
// which ours refused. Through quarbel-batch (the bench/run to-tiff workload: 65 files,
// --jobs 2; the old and the new tool interleaved, 6 runs each, on that machine loaded by other
// builds) the medians went from 59.1 s to 57.7 s wall, 42.3 s to 43.6 s user and 1.2 s to
// 1.7 s system time (libtiff differences each strip in a fresh copy), 207 MB to 212 MB peak
// memory, and 764,518,956 bytes both. bench/codec_compare tiff now sets this writer beside
// plain libtiff writing a file: 56.4 s vs 55.6 s and 49.1 s vs 48.9 s in two runs, 750,874,456
// vs 750,870,296 bytes (the difference is our resolution fields): our layer costs nothing
// that shows.

#include "codecs/Cancel.h"
#include "codecs/Metadata.h"
#include "codecs/PixelView.h"

#include <cstdint>
#include <memory>

namespace quarbel::codecs::tiff {

enum Unit : std::uint16_t { Inch = 2, Centimetre = 3 };

struct Layout {
    std::uint32_t width = 0, pageHeight = 0, pages = 1;
    int samples = 3;              // per pixel: grey, grey+alpha, RGB or RGBA
    double xres = 72, yres = 72;  // pixels per resolution unit
    Unit resolutionUnit = Inch;
    Bytes profile;      // ICC, may be empty
    Metadata metadata;  // in the first page's directory: EXIF as IFD0 fields and sub-directories
};

// The largest file written as classic TIFF; a file that might be larger is BigTIFF.
inline constexpr std::uint64_t kClassicLimit = 0xFFFFFFFFu;

class TiffWriter {
public:
    // classicLimit: a smaller size than classic TIFF's limit above which the file is BigTIFF
    // (for tests). cancel, when given, is looked at before each strip is compressed.
    explicit TiffWriter(const Layout& layout, std::uint64_t classicLimit = kClassicLimit,
                        const CancelToken* cancel = nullptr);
    ~TiffWriter();
    TiffWriter(const TiffWriter&) = delete;
    TiffWriter& operator=(const TiffWriter&) = delete;

    // The next rows of the picture, top to bottom, `layout.samples` bands each. Throws
    // Failure when libtiff fails, Cancelled once the token is cancelled.
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
