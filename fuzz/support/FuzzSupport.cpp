#include "FuzzSupport.h"

#include <tiffio.h>
#include <QtGlobal>

#include <algorithm>
#include <cstring>

namespace quarbel::fuzz {

void fail(const char* file, int line, const char* what)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

void quietLibraries()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
}

Bytes Picture::rgba() const
{
    Bytes out(std::size_t(width) * std::size_t(height) * 4);
    for (std::size_t i = 0, n = std::size_t(width) * std::size_t(height); i < n; ++i) {
        const std::uint8_t* p = pixels.data() + i * std::size_t(bands);
        std::uint8_t* q = out.data() + i * 4;
        const bool grey = bands < 3;
        q[0] = p[0];
        q[1] = grey ? p[0] : p[1];
        q[2] = grey ? p[0] : p[2];
        q[3] = bands == 2 ? p[1] : bands == 4 ? p[3] : 255;
    }
    return out;
}

Picture takePicture(FuzzedDataProvider& input, int maxSide, int frames)
{
    Picture picture;
    picture.width = input.ConsumeIntegralInRange(1, maxSide);
    picture.height = input.ConsumeIntegralInRange(1, std::max(1, maxSide / frames)) * frames;
    picture.bands = input.ConsumeIntegralInRange(1, 4);
    const std::size_t size =
        std::size_t(picture.width) * std::size_t(picture.height) * std::size_t(picture.bands);
    picture.pixels = input.ConsumeBytes<std::uint8_t>(size);
    const std::size_t had = picture.pixels.size();
    picture.pixels.resize(size);
    for (std::size_t i = had; i < size; ++i)
        picture.pixels[i] = had ? picture.pixels[i % had] : std::uint8_t(i * 7);
    return picture;
}

Bytes takeBlob(FuzzedDataProvider& input, std::size_t most)
{
    return input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, most));
}

codecs::Metadata takeMetadata(FuzzedDataProvider& input)
{
    codecs::Metadata metadata;
    const auto present = input.ConsumeIntegral<std::uint8_t>();
    if (present & 1) {
        const Bytes block = takeBlob(input, 4096);
        metadata.exif = codecs::exif::parse(block.data(), block.size());
    }
    if (present & 2)
        metadata.xmp = takeBlob(input, 4096);
    if (present & 4)
        metadata.iptc = takeBlob(input, 1024);
    return metadata;
}

Bytes takeProfile(FuzzedDataProvider& input)
{
    const auto kind = input.ConsumeIntegralInRange(0, 3);
    if (kind == 0)
        return {};
    Bytes profile = takeBlob(input, 1024);
    if (kind < 3) {
        // A header that claims a colour space; the body stays fuzzed.
        profile.resize(std::max<std::size_t>(profile.size(), 132));
        std::memcpy(profile.data() + 16, kind == 1 ? "RGB " : "GRAY", 4);
        std::memcpy(profile.data() + 36, "acsp", 4);
    }
    return profile;
}

Difference difference(const Bytes& expected, const Bytes& actual, int channel)
{
    Difference d;
    double sum = 0, moved = 0;
    for (std::size_t i = 0; i + 3 < expected.size() && i + 3 < actual.size(); i += 4) {
        const int diff =
            std::abs(int(expected[i + std::size_t(channel)]) - int(actual[i + std::size_t(channel)]));
        d.largest = std::max(d.largest, diff);
        sum += diff;
        moved += int(actual[i + std::size_t(channel)]) - int(expected[i + std::size_t(channel)]);
        ++d.counted;
    }
    d.mean = d.counted ? sum / double(d.counted) : 0;
    d.shift = d.counted ? moved / double(d.counted) : 0;
    return d;
}

double lumaShift(const Bytes& expected, const Bytes& actual)
{
    double moved = 0;
    for (std::size_t i = 0; i + 3 < expected.size() && i + 3 < actual.size(); i += 4)
        for (const auto& [channel, weight] : {std::pair{0, 0.299}, {1, 0.587}, {2, 0.114}})
            moved += weight * (int(actual[i + channel]) - int(expected[i + channel]));
    return expected.empty() ? 0 : moved / double(expected.size() / 4);
}

bool coloursComparable(const Bytes& rgba)
{
    if (rgba.size() < 64 * 4)
        return false;
    for (std::size_t i = 3; i < rgba.size(); i += 4)
        if (rgba[i] != 255)
            return false;
    return true;
}

}  // namespace quarbel::fuzz
