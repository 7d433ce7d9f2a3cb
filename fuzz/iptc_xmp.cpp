// IPTC records out of a Photoshop resource block, and XMP with its orientation set.
#include "FuzzSupport.h"

#include <algorithm>
#include <string_view>

using namespace quarbel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // IPTC: the records are a part of the block (or the block itself when it is records).
    const fuzz::Bytes records = codecs::exif::iptcRecords(data, size);
    if (!records.empty())
        FUZZ_CHECK(std::search(data, data + size, records.begin(), records.end()) != data + size);

    // XMP: every orientation value the packet names becomes the new one, the rest is kept.
    const int orientation = size ? 1 + data[0] % 8 : 1;
    const fuzz::Bytes xmp = codecs::exif::xmpWithOrientation(data, size, orientation);
    const std::string_view text(reinterpret_cast<const char*>(xmp.data()), xmp.size());
    for (std::string_view open : {"<tiff:Orientation>", "tiff:Orientation=\""}) {
        const char close = open.back() == '>' ? '<' : '"';
        for (std::size_t at = text.find(open); at != text.npos; at = text.find(open, at + 1)) {
            const std::size_t from = at + open.size(), to = text.find(close, from);
            if (to == text.npos)
                break;
            FUZZ_CHECK(text.substr(from, to - from) == std::to_string(orientation));
        }
    }
    FUZZ_CHECK(codecs::exif::xmpWithOrientation(xmp.data(), xmp.size(), orientation) == xmp);
    return 0;
}
