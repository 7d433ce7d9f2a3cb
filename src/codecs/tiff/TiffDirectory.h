#pragma once
// One image file directory (IFD) of a little-endian classic TIFF file: the fields are
// collected in any order and written sorted by tag, with the values that do not fit in an
// entry's four bytes placed right after the directory.

#include "codecs/ByteOrder.h"

#include <cstdint>
#include <vector>

namespace quarbel::codecs::tiff {

enum Tag : std::uint16_t {
    NewSubfileType = 254,
    ImageWidth = 256,
    ImageLength = 257,
    BitsPerSample = 258,
    Compression = 259,
    Photometric = 262,
    StripOffsets = 273,
    Orientation = 274,
    SamplesPerPixel = 277,
    RowsPerStrip = 278,
    StripByteCounts = 279,
    XResolution = 282,
    YResolution = 283,
    PlanarConfiguration = 284,
    ResolutionUnit = 296,
    PageNumber = 297,
    Predictor = 317,
    ExtraSamples = 338,
    Xmp = 700,
    Iptc = 33723,
    ExifIfd = 34665,
    GpsIfd = 34853,
    IccProfile = 34675,
};

struct Rational {
    std::uint32_t numerator = 0, denominator = 1;
};

// The closest fraction to value (> 0) whose terms fit in 32 bits.
Rational toRational(double value);

class Directory {
public:
    void addShorts(Tag tag, std::vector<std::uint16_t> values);
    void addLongs(Tag tag, const std::vector<std::uint32_t>& values);
    void addRational(Tag tag, Rational value);
    void addUndefined(Tag tag, const std::uint8_t* data, std::size_t size);
    void addBytes(Tag tag, const std::uint8_t* data, std::size_t size);  // type BYTE
    // A field of any type, its value already in little-endian order (copied from another file).
    void addField(std::uint16_t tag, std::uint16_t type, std::uint32_t count, const Bytes& value);

    struct Placement {
        std::uint64_t offset;       // of the directory in the file
        std::uint64_t nextPointer;  // where the offset of the directory after it goes
    };
    // Appends the directory (at an even offset) and its out-of-line values to out.
    Placement appendTo(Bytes& out) const;
    // The bytes appendTo adds to a file of `size` bytes.
    std::uint64_t sizeAfter(std::uint64_t size) const;

private:
    enum Type : std::uint16_t { Short = 3, Long = 4, RationalType = 5, Undefined = 7 };
    struct Field {
        Tag tag;
        Type type;
        std::uint32_t count;
        Bytes value;  // little-endian, count values of the type
    };
    void add(Tag tag, Type type, std::uint32_t count, Bytes value);
    std::vector<Field> m_fields;
};

}  // namespace quarbel::codecs::tiff
