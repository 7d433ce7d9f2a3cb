#pragma once
// One image file directory (IFD) of a little-endian classic TIFF structure, as an EXIF block
// holds them: the fields are collected in any order and written sorted by tag, with the
// values that do not fit in an entry's four bytes placed right after the directory.

#include "codecs/ByteOrder.h"

#include <cstdint>
#include <vector>

namespace quarbel::codecs::exif {

class Directory {
public:
    // A field of any type, its value already in little-endian order.
    void addField(std::uint16_t tag, std::uint16_t type, std::uint32_t count, const Bytes& value);

    struct Placement {
        std::uint64_t offset;       // of the directory in the block
        std::uint64_t nextPointer;  // where the offset of the directory after it goes
    };
    // Appends the directory (at an even offset) and its out-of-line values to out.
    Placement appendTo(Bytes& out) const;

private:
    struct Field {
        std::uint16_t tag;
        std::uint16_t type;
        std::uint32_t count;
        Bytes value;  // little-endian, count values of the type
    };
    std::vector<Field> m_fields;
};

}  // namespace quarbel::codecs::exif
