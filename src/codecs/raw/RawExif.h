#pragma once
// The EXIF block of a developed camera raw picture, built from what LibRaw read out of the
// raw file: the camera, the date it was taken, the exposure and, where present, the GPS
// position. The makers' notes and the rest of the raw file's tags are not carried.

#include "codecs/exif/Exif.h"

#include <array>
#include <ctime>
#include <optional>
#include <string>

namespace quarbel::codecs::raw {

struct GpsPosition {
    std::array<float, 3> latitude{}, longitude{};  // degrees, minutes, seconds
    char latitudeRef = 'N', longitudeRef = 'E';
    std::optional<float> altitude;  // metres
    bool belowSeaLevel = false;
};

struct CameraFacts {
    std::string make, model;
    std::time_t taken = 0;                                               // 0: not known
    float exposureSeconds = 0, fNumber = 0, iso = 0, focalLengthMm = 0;  // 0: not known
    std::optional<GpsPosition> gps;
};

// IFD0 (make, model, date), the Exif sub-directory (date taken, exposure time, f-number, ISO,
// focal length, the picture's size) and the GPS sub-directory; orientation 1, since the
// pixels are developed upright.
exif::Block exifBlockOf(const CameraFacts& facts, int width, int height);

}  // namespace quarbel::codecs::raw
