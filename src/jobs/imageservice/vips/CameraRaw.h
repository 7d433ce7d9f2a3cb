#pragma once
// Camera raw files with libvips pictures: developed by LibRaw (codecs/raw), which runs only
// where decoderTrust() is Confined (the worker processes); elsewhere every call fails with
// that reason before LibRaw sees a byte.

#include "jobs/imageservice/vips/Decode.h"

#include <vips/vips8>

#include <cstdint>
#include <span>

namespace quarbel::imageservice {

// The developed picture's size and the camera's orientation, from the file's structure.
SourceInfo readCameraRawHeader(const std::uint8_t* data, std::size_t size);

// The developed picture, 8-bit sRGB, its "orientation" field saying how to turn it, with the
// camera's EXIF as its "exif-data".
vips::VImage developCameraRaw(const std::uint8_t* data, std::size_t size);

// A picture for the preview box: the preview the camera embedded when it covers
// width x height (the box's size for the upright picture), its "orientation" field saying
// how to turn it; else the raw data developed at half size.
vips::VImage openCameraRawPreview(std::span<const std::uint8_t> bytes, int width, int height);

}  // namespace quarbel::imageservice
