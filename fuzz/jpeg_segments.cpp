// The JPEG transcoder's metadata: the segments before the first scan, the EXIF orientation
// and the size fields changed in place, and the sRGB profile test.
#include "FuzzSupport.h"

#include "codecs/jpeg/Exif.h"
#include "codecs/jpeg/Profile.h"
#include "codecs/jpeg/Transcode.h"

using namespace quarbel;

namespace {

void checkExif(std::vector<std::uint8_t> payload, std::uint32_t width, std::uint32_t height)
{
    const bool exif = codecs::jpeg::isExif(payload.data(), payload.size());
    const int orientation = codecs::jpeg::exifOrientation(payload.data(), payload.size());
    FUZZ_CHECK(orientation >= 1 && orientation <= 8);
    FUZZ_CHECK(exif || orientation == 1);
    const std::size_t size = payload.size();
    codecs::jpeg::setExifDimensions(payload, width, height);
    FUZZ_CHECK(payload.size() == size);
    FUZZ_CHECK(codecs::jpeg::isExif(payload.data(), payload.size()) == exif);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::uint32_t width = size > 1 ? std::uint32_t(data[size - 1]) << 12 | data[size - 2] : 1;
    const std::uint32_t height = size > 3 ? std::uint32_t(data[size - 3]) << 12 | data[size - 4] : 1;
    const auto segments = codecs::jpeg::metadataSegments(data, size);
    for (const codecs::jpeg::Marker& m : segments) {
        FUZZ_CHECK((m.code >= 0xE0 && m.code <= 0xEF) || m.code == 0xFE);
        FUZZ_CHECK(m.payload.size() <= 0xFFFF - 2);
        checkExif(m.payload, width, height);
        (void)codecs::jpeg::isSrgbProfile(m.payload.data(), m.payload.size());
    }
    // Not a JPEG file: the input itself as a segment's payload and as a profile.
    if (segments.empty()) {
        checkExif(std::vector<std::uint8_t>(data, data + size), width, height);
        (void)codecs::jpeg::isSrgbProfile(data, size);
    }
    return 0;
}
