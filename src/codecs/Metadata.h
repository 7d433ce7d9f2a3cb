#pragma once
// What a picture says about itself beyond its pixels and colour profile, as our own writers
// take it: EXIF entries (already describing the written picture), XMP and IPTC records.

#include "codecs/exif/Exif.h"

#include <optional>

namespace quarbel::codecs {

struct Metadata {
    std::optional<exif::Block> exif;
    Bytes xmp;   // an XMP packet (UTF-8 XML)
    Bytes iptc;  // IPTC records (IIM)

    bool empty() const { return !exif && xmp.empty() && iptc.empty(); }
};

}  // namespace quarbel::codecs
