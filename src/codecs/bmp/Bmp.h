#pragma once
// BMP files. Reading: uncompressed 24-bit files, by far the most common kind, are unpacked
// here in one pass; the other kinds go through Qt's BMP reader (small, fuzzed, with its own
// allocation limit) rather than a general image library's, which would make much more code
// reachable from untrusted files. Writing: a plain 24-bit BITMAPINFOHEADER file.

#include "codecs/Cancel.h"
#include "codecs/PixelView.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace quarbel::codecs::bmp {

using Bytes = std::vector<std::uint8_t>;

struct Header {
    int width = 0, height = 0;  // height positive whether the rows are stored bottom-up or not
};

// Reads the size from the file's header without decoding; throws Failure on an impossible
// header.
Header readHeader(const std::uint8_t* data, std::size_t size);

// Loads Qt's image reader machinery on the calling thread. Qt's image plugins belong to the
// thread that first looks them up; when that is a short-lived worker thread and no
// QCoreApplication exists, Qt's clean-up at exit touches freed memory. So the engine's
// start-up does the lookup once, on the thread that starts it.
void prepareReader();

// A decoded picture: 8-bit RGB, or RGBA when the file has alpha, rows without padding. The
// owner keeps the pixels alive.
struct Decoded {
    PixelView pixels;
    std::shared_ptr<void> owner;
};

// Decodes the whole picture; throws Failure with the reason.
Decoded decode(const std::uint8_t* data, std::size_t size);

// Writes a 24-bit file whose pixels arrive a few rows at a time, top to bottom.
class Writer {
public:
    // Throws Failure when the picture is too large for a BMP file.
    Writer(int width, int height, const CancelToken* cancel = nullptr);
    // Rows top .. top + rows.height - 1 of the picture: 1 band (grey) or 3 (RGB). Throws
    // Cancelled once the token is cancelled.
    void add(const PixelView& rows, int top);
    Bytes take() { return std::move(m_file); }

private:
    Bytes m_file;
    const CancelToken* m_cancel;
    std::size_t m_stride;
    int m_height;
};

// A whole picture at once.
Bytes encode(const PixelView& picture);

}  // namespace quarbel::codecs::bmp
