#pragma once
// BMP files: libvips has neither a BMP loader nor a BMP saver. Reading goes through Qt's
// BMP reader (small, fuzzed, with its own allocation limit) rather than libvips' ImageMagick
// loader, which would make the whole of ImageMagick reachable from untrusted files.
// Writing is a plain 24-bit BITMAPINFOHEADER file produced here.

#include "jobs/imageservice/ImageService.h"

#include <vips/vips8>

namespace quarbel::imageservice {

struct BmpHeader {
    int width = 0, height = 0;  // height positive whether the rows are stored bottom-up or not
};

// Reads the size from the file's header without decoding; fails on an impossible header.
Result readBmpHeader(const std::uint8_t* data, std::size_t size, BmpHeader& header);

// Loads Qt's image reader machinery on the calling thread. Qt's image plugins belong to the
// thread that first looks them up; when that is a short-lived worker thread and no
// QCoreApplication exists, Qt's clean-up at exit touches freed memory. So the service's
// start-up does the lookup once, on the thread that starts it.
void prepareBmpReader();

// Decodes the whole picture into 8-bit sRGB, with an alpha band when the file has one.
Result decodeBmp(const std::uint8_t* data, std::size_t size, vips::VImage& out);

// Encodes an 8-bit picture of 1 or 3 bands as a 24-bit BMP file.
Result encodeBmp(vips::VImage image, std::vector<std::uint8_t>& out);

}  // namespace quarbel::imageservice
