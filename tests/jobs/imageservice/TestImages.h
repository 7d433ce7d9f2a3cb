#pragma once
// Pictures made at run time for the Image Service's tests, and ways to measure results.

#include "jobs/imageservice/ImageService.h"

#include <vips/vips8>

#include <filesystem>
#include <string>
#include <vector>

namespace quarbel::imageservice::testing {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A fresh folder, removed with its contents at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const fs::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

// The reference picture: smooth colour ramps, 8-bit sRGB, with an alpha band whose top-left
// quarter is transparent (and white underneath, so flattening on white changes nothing).
vips::VImage master(int width = 96, int height = 64);
vips::VImage opaque(const vips::VImage& image);  // without its alpha band

enum class Kind { Jpeg, Png, Gif, Bmp, Tiff, Webp, Avif };
const char* formatIdOf(Kind kind);
const char* nameOf(Kind kind);

// The master encoded in that format by an encoder other than the service's own (libvips for
// JPEG, PNG, GIF, a tiled TIFF, WebP and AVIF; Qt for BMP). JPEG and BMP carry no alpha.
Bytes encodeMaster(Kind kind, int width = 96, int height = 64);
bool carriesAlpha(Kind kind);

Bytes jpegBytes(const vips::VImage& image, int quality = 95);
// The opaque master of that size as a JPEG whose EXIF orientation is `orientation`.
Bytes turnedJpeg(int width, int height, int orientation);
// A three-frame GIF of flat colours, 20 x 10, with these frame delays (ms) and loop count
// (0: none stored).
Bytes animatedGif(const std::vector<int>& delays = {100, 100, 100}, int loop = 0);
// The bytes of a libvips save-to-buffer result (which it releases).
Bytes take(VipsBlob* blob);
void writeFile(const std::string& path, const Bytes& bytes);
Bytes readFile(const std::string& path);

// Decodes a file the way another program would (libvips' generic loader, Qt for BMP),
// all frames stacked when asked (GIF, TIFF and WebP files).
vips::VImage decodeIndependently(const Bytes& bytes, bool allFrames = false);

// Mean absolute difference per sample of two pictures after both are flattened on white and
// made 8-bit sRGB. The sizes must match.
double meanDifference(vips::VImage a, vips::VImage b);

// The sRGB values at x, y of a picture, alpha included when it has one.
std::vector<double> pixelAt(const vips::VImage& image, int x, int y);

// Loads path and runs one Convert (quality "" = not set) or Scale on it.
Result convert(const std::string& path, Kind target, ImageFile& out, const std::string& quality = "");
Result scale(const std::string& path, const std::string& width, const std::string& height, ImageFile& out);

}  // namespace quarbel::imageservice::testing
