#include "codecs/raw/RawExif.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quarbel::codecs::raw {

namespace {

constexpr std::uint16_t kByte = 1, kAscii = 2, kShort = 3, kRational = 5;

constexpr std::uint16_t kMake = 0x010F, kModel = 0x0110, kDateTime = 0x0132;
constexpr std::uint16_t kExposureTime = 0x829A, kFNumber = 0x829D, kIsoSpeed = 0x8827, kExifVersion = 0x9000,
                        kDateTimeOriginal = 0x9003, kFocalLength = 0x920A;
constexpr std::uint16_t kGpsVersion = 0x0000, kGpsLatitudeRef = 0x0001, kGpsLatitude = 0x0002,
                        kGpsLongitudeRef = 0x0003, kGpsLongitude = 0x0004, kGpsAltitudeRef = 0x0005,
                        kGpsAltitude = 0x0006;

exif::Entry ascii(std::uint16_t tag, const std::string& text)
{
    exif::Entry e{tag, kAscii, std::uint32_t(text.size() + 1), Bytes(text.begin(), text.end())};
    e.value.push_back(0);
    return e;
}

// A field of one-byte elements (BYTE, UNDEFINED).
exif::Entry bytes(std::uint16_t tag, std::uint16_t type, Bytes value)
{
    return {tag, type, std::uint32_t(value.size()), std::move(value)};
}

void appendRational(Bytes& out, std::uint32_t numerator, std::uint32_t denominator)
{
    for (std::uint32_t v : {numerator, denominator})
        for (int shift : {0, 8, 16, 24})
            out.push_back(std::uint8_t(v >> shift));
}

// A positive value as a rational with `scale` as its denominator.
exif::Entry rational(std::uint16_t tag, float value, std::uint32_t scale)
{
    exif::Entry e{tag, kRational, 1, {}};
    appendRational(e.value, std::uint32_t(std::lround(double(value) * scale)), scale);
    return e;
}

// Exposure times below a second as 1/n, as cameras write them.
exif::Entry exposure(float seconds)
{
    exif::Entry e{kExposureTime, kRational, 1, {}};
    if (seconds < 1.0f)
        appendRational(e.value, 1, std::uint32_t(std::lround(1.0 / seconds)));
    else
        appendRational(e.value, std::uint32_t(std::lround(double(seconds) * 10)), 10);
    return e;
}

exif::Entry angle(std::uint16_t tag, const std::array<float, 3>& dms)
{
    exif::Entry e{tag, kRational, 3, {}};
    appendRational(e.value, std::uint32_t(std::lround(std::fabs(dms[0]))), 1);
    appendRational(e.value, std::uint32_t(std::lround(std::fabs(dms[1]))), 1);
    appendRational(e.value, std::uint32_t(std::lround(std::fabs(double(dms[2])) * 1000)), 1000);
    return e;
}

bool usable(float value) { return std::isfinite(value) && value > 0 && value < 1e6f; }

std::string dateText(std::time_t when)
{
    std::tm local{};
    if (!localtime_r(&when, &local))
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%04d:%02d:%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

}  // namespace

exif::Block exifBlockOf(const CameraFacts& facts, int width, int height)
{
    exif::Block block;
    if (!facts.make.empty())
        block.ifd0.push_back(ascii(kMake, facts.make));
    if (!facts.model.empty())
        block.ifd0.push_back(ascii(kModel, facts.model));
    // LibRaw reads the date as local time; the same zone gives it back.
    const std::string taken = facts.taken > 0 ? dateText(facts.taken) : std::string();
    if (!taken.empty())
        block.ifd0.push_back(ascii(kDateTime, taken));

    block.exif.push_back(bytes(kExifVersion, 7, {'0', '2', '3', '2'}));
    if (!taken.empty())
        block.exif.push_back(ascii(kDateTimeOriginal, taken));
    if (usable(facts.exposureSeconds))
        block.exif.push_back(exposure(facts.exposureSeconds));
    if (usable(facts.fNumber))
        block.exif.push_back(rational(kFNumber, facts.fNumber, 10));
    if (usable(facts.iso)) {
        const long iso = std::min(65535L, std::lround(facts.iso));
        block.exif.push_back({kIsoSpeed, kShort, 1, {std::uint8_t(iso), std::uint8_t(iso >> 8)}});
    }
    if (usable(facts.focalLengthMm))
        block.exif.push_back(rational(kFocalLength, facts.focalLengthMm, 10));

    if (facts.gps) {
        const GpsPosition& gps = *facts.gps;
        block.gps.push_back(bytes(kGpsVersion, kByte, {2, 3, 0, 0}));
        block.gps.push_back(ascii(kGpsLatitudeRef, std::string(1, gps.latitudeRef == 'S' ? 'S' : 'N')));
        block.gps.push_back(angle(kGpsLatitude, gps.latitude));
        block.gps.push_back(ascii(kGpsLongitudeRef, std::string(1, gps.longitudeRef == 'W' ? 'W' : 'E')));
        block.gps.push_back(angle(kGpsLongitude, gps.longitude));
        if (gps.altitude && std::isfinite(*gps.altitude) && std::fabs(*gps.altitude) < 1e6f) {
            block.gps.push_back(bytes(kGpsAltitudeRef, kByte, {std::uint8_t(gps.belowSeaLevel ? 1 : 0)}));
            block.gps.push_back(rational(kGpsAltitude, std::fabs(*gps.altitude), 100));
        }
    }
    exif::describe(block, 1, std::uint32_t(width), std::uint32_t(height));
    return block;
}

}  // namespace quarbel::codecs::raw
