#include "codecs/tiff/ExifFields.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace quarbel::codecs::tiff {

namespace {

bool isByteType(int type)
{
    return type == TIFF_BYTE || type == TIFF_ASCII || type == TIFF_SBYTE || type == TIFF_UNDEFINED;
}

bool isRational(int type) { return type == TIFF_RATIONAL || type == TIFF_SRATIONAL; }

// The entry's values as numbers (a rational as its quotient, text and undefined bytes as
// bytes); empty for a type this does not know.
std::vector<double> numbersOf(const exif::Entry& e)
{
    const std::uint8_t* p = e.value.data();
    const std::size_t n = e.value.size();
    std::vector<double> out;
    auto each = [&](std::size_t unit, auto convert) {
        for (std::size_t at = 0; at + unit <= n; at += unit)
            out.push_back(convert(p + at));
    };
    const auto u32 = [](const std::uint8_t* q) { return double(load32le(q)); };
    const auto s32 = [](const std::uint8_t* q) { return double(std::int32_t(load32le(q))); };
    switch (e.type) {
    case TIFF_BYTE:
    case TIFF_ASCII:
    case TIFF_UNDEFINED: each(1, [](const std::uint8_t* q) { return double(*q); }); break;
    case TIFF_SBYTE: each(1, [](const std::uint8_t* q) { return double(std::int8_t(*q)); }); break;
    case TIFF_SHORT: each(2, [](const std::uint8_t* q) { return double(load16le(q)); }); break;
    case TIFF_SSHORT: each(2, [](const std::uint8_t* q) { return double(std::int16_t(load16le(q))); }); break;
    case TIFF_LONG:
    case TIFF_IFD: each(4, u32); break;
    case TIFF_SLONG: each(4, s32); break;
    case TIFF_RATIONAL:
    case TIFF_SRATIONAL:
        // A zero denominator (an unknown value) becomes 0: libtiff writes quotients.
        each(8, [&](const std::uint8_t* q) {
            const double den = e.type == TIFF_RATIONAL ? u32(q + 4) : s32(q + 4);
            return den == 0 ? 0.0 : (e.type == TIFF_RATIONAL ? u32(q) : s32(q)) / den;
        });
        break;
    case TIFF_FLOAT:
        each(4, [](const std::uint8_t* q) {
            float f;
            const std::uint32_t bits = load32le(q);
            std::memcpy(&f, &bits, 4);
            return double(f);
        });
        break;
    case TIFF_DOUBLE:
        each(8, [](const std::uint8_t* q) {
            const std::uint64_t bits = load32le(q) | std::uint64_t(load32le(q + 4)) << 32;
            double d;
            std::memcpy(&d, &bits, 8);
            return d;
        });
        break;
    default: break;
    }
    return out;
}

// A number as a whole one for an integer field. A value beyond what 64 bits hold (a rational
// of a huge numerator, a float from the file) is clamped and NaN is 0: casting either would be
// undefined.
std::int64_t whole(double v)
{
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    if (std::isnan(v))
        return 0;
    if (v >= kLimit)
        return std::numeric_limits<std::int64_t>::max();
    if (v < -kLimit)
        return std::numeric_limits<std::int64_t>::min();
    return std::int64_t(v);
}

// The values stored as libtiff keeps them for a field of `type`, `size` bytes each.
std::vector<std::uint8_t> stored(const std::vector<double>& numbers, int type, int size)
{
    std::vector<std::uint8_t> out(numbers.size() * std::size_t(size));
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        std::uint8_t* at = &out[i * std::size_t(size)];
        const double v = numbers[i];
        if (type == TIFF_FLOAT || type == TIFF_DOUBLE || isRational(type)) {
            if (size == 8)
                std::memcpy(at, &v, 8);
            else {
                const float f = float(v);
                std::memcpy(at, &f, 4);
            }
        } else if (size == 1) {
            *at = std::uint8_t(whole(v));
        } else if (size == 2) {
            const auto s = std::uint16_t(whole(v));
            std::memcpy(at, &s, 2);
        } else if (size == 4) {
            const auto l = std::uint32_t(whole(v));
            std::memcpy(at, &l, 4);
        } else {
            const auto q = std::uint64_t(whole(v));
            std::memcpy(at, &q, 8);
        }
    }
    return out;
}

// A field definition for a tag libtiff does not know, with the entry's type and any count.
const TIFFField* defineField(TIFF* tiff, const exif::Entry& e)
{
    static char name[] = "Unknown";  // libtiff keeps the pointer
    const TIFFFieldInfo info{e.tag, TIFF_VARIABLE2, TIFF_VARIABLE2, TIFFDataType(e.type), FIELD_CUSTOM, 1, 1,
                             name};
    if (TIFFDataWidth(TIFFDataType(e.type)) == 0 || TIFFMergeFieldInfo(tiff, &info, 1) != 0)
        return nullptr;
    return TIFFFindField(tiff, e.tag, TIFF_ANY);
}

// A single value as TIFFSetField takes it through its variable arguments.
int setOne(TIFF* tiff, std::uint32_t tag, int type, int size, double v)
{
    if (type == TIFF_FLOAT || type == TIFF_DOUBLE || isRational(type))
        return TIFFSetField(tiff, tag, v);
    if (size == 8)
        return TIFFSetField(tiff, tag, std::uint64_t(whole(v)));
    if (size == 4)
        return TIFFSetField(tiff, tag, std::uint32_t(whole(v)));
    return TIFFSetField(tiff, tag, int(whole(v)));
}

}  // namespace

bool setEntry(TIFF* tiff, const exif::Entry& e)
{
    const TIFFField* field = TIFFFindField(tiff, e.tag, TIFF_ANY);
    if (!field)
        field = defineField(tiff, e);
    if (!field)
        return false;
    const int type = TIFFFieldDataType(field);
    const int size = TIFFFieldSetGetSize(field);

    if (type == TIFF_ASCII) {
        if (!isByteType(e.type))
            return false;
        const std::string text(e.value.begin(), e.value.end());
        const char* terminated = text.c_str();  // up to its first NUL
        if (!TIFFFieldPassCount(field))
            return TIFFSetField(tiff, e.tag, terminated) == 1;
        const auto count = std::uint32_t(std::strlen(terminated) + 1);  // a tag libtiff did not know
        if (TIFFFieldWriteCount(field) == TIFF_VARIABLE2)
            return TIFFSetField(tiff, e.tag, count, terminated) == 1;
        return count <= std::numeric_limits<std::uint16_t>::max() &&
               TIFFSetField(tiff, e.tag, int(count), terminated) == 1;
    }

    // Bytes go to byte fields as they are; numbers are converted to the field's type.
    if ((e.type == TIFF_ASCII || e.type == TIFF_UNDEFINED) && !isByteType(type))
        return false;
    const std::vector<double> numbers = numbersOf(e);
    if (numbers.empty() || size <= 0)
        return false;
    const std::vector<std::uint8_t> values = stored(numbers, type, size);
    const std::size_t count = numbers.size();

    const int writeCount = TIFFFieldWriteCount(field);
    if (TIFFFieldPassCount(field)) {
        if (writeCount == TIFF_VARIABLE2)
            return TIFFSetField(tiff, e.tag, std::uint32_t(count), values.data()) == 1;
        if (count > std::numeric_limits<std::uint16_t>::max())
            return false;
        return TIFFSetField(tiff, e.tag, int(count), values.data()) == 1;
    }
    if (writeCount == TIFF_VARIABLE || writeCount == TIFF_VARIABLE2 || writeCount == TIFF_SPP)
        return false;  // a count libtiff sets from elsewhere: not an EXIF field
    if (count != std::size_t(writeCount))
        return false;
    if (writeCount > 1)
        return TIFFSetField(tiff, e.tag, values.data()) == 1;
    return setOne(tiff, e.tag, type, size, numbers[0]) == 1;
}

}  // namespace quarbel::codecs::tiff
