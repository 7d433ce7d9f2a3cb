#include "codecs/tiff/TiffDirectory.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quarbel::codecs::tiff {

namespace {

constexpr std::size_t kEntrySize = 12;

std::uint64_t padded(std::uint64_t size) { return size + (size & 1); }

}  // namespace

Rational toRational(double value)
{
    constexpr double kMax = 4294967295.0;
    if (!(value > 0) || !std::isfinite(value))
        return {0, 1};
    if (value >= kMax)
        return {0xFFFFFFFFu, 1};
    // The convergents h/k of value's continued fraction, as long as both terms fit, until one
    // is as close as single precision tells apart (libtiff reads resolutions as float, and
    // libvips' TIFF loader hands them over in float): 72 dots per inch that went through
    // pixels per millimetre come back as 72/1, not as 359511778/4993219.
    double hPrev = 1, h = std::floor(value), kPrev = 0, k = 1, x = value;
    Rational best{std::uint32_t(h), 1};
    for (int i = 0; i < 64 && std::abs(h / k - value) > value * 1e-7; ++i) {
        const double fraction = x - std::floor(x);
        if (fraction < 1e-12)
            break;
        x = 1 / fraction;
        const double a = std::floor(x);
        const double hNext = a * h + hPrev, kNext = a * k + kPrev;
        if (hNext > kMax || kNext > kMax)
            break;
        hPrev = h;
        kPrev = k;
        h = hNext;
        k = kNext;
        best = {std::uint32_t(h), std::uint32_t(k)};
    }
    if (best.numerator == 0)
        best = {1, 0xFFFFFFFFu};  // the smallest positive value there is
    return best;
}

void Directory::add(Tag tag, Type type, std::uint32_t count, Bytes value)
{
    m_fields.push_back(Field{tag, type, count, std::move(value)});
}

void Directory::addShorts(Tag tag, std::vector<std::uint16_t> values)
{
    Bytes value(values.size() * 2);
    for (std::size_t i = 0; i < values.size(); ++i)
        store16le(&value[2 * i], values[i]);
    add(tag, Short, std::uint32_t(values.size()), std::move(value));
}

void Directory::addLongs(Tag tag, const std::vector<std::uint32_t>& values)
{
    Bytes value(values.size() * 4);
    for (std::size_t i = 0; i < values.size(); ++i)
        store32le(&value[4 * i], values[i]);
    add(tag, Long, std::uint32_t(values.size()), std::move(value));
}

void Directory::addRational(Tag tag, Rational r)
{
    Bytes value(8);
    store32le(&value[0], r.numerator);
    store32le(&value[4], r.denominator);
    add(tag, RationalType, 1, std::move(value));
}

void Directory::addField(std::uint16_t tag, std::uint16_t type, std::uint32_t count, const Bytes& value)
{
    add(Tag(tag), Type(type), count, value);
}

void Directory::addBytes(Tag tag, const std::uint8_t* data, std::size_t size)
{
    add(tag, Type(1), std::uint32_t(size), Bytes(data, data + size));
}

void Directory::addUndefined(Tag tag, const std::uint8_t* data, std::size_t size)
{
    add(tag, Undefined, std::uint32_t(size), Bytes(data, data + size));
}

std::uint64_t Directory::sizeAfter(std::uint64_t size) const
{
    std::uint64_t end = padded(size) + 2 + kEntrySize * m_fields.size() + 4;
    for (const Field& f : m_fields)
        if (f.value.size() > 4)
            end = padded(end) + f.value.size();
    return end - size;
}

Directory::Placement Directory::appendTo(Bytes& out) const
{
    std::vector<const Field*> sorted;
    sorted.reserve(m_fields.size());
    for (const Field& f : m_fields)
        sorted.push_back(&f);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Field* a, const Field* b) { return a->tag < b->tag; });

    out.reserve(out.size() + sizeAfter(out.size()));
    if (out.size() & 1)
        out.push_back(0);  // directories and values start on a word boundary
    const std::size_t start = out.size();
    const std::size_t next = start + 2 + kEntrySize * sorted.size();
    out.resize(next + 4, 0);  // the next directory's offset stays 0 until there is one
    store16le(&out[start], std::uint16_t(sorted.size()));
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const Field& f = *sorted[i];
        const std::size_t entry = start + 2 + kEntrySize * i;
        store16le(&out[entry], f.tag);
        store16le(&out[entry + 2], f.type);
        store32le(&out[entry + 4], f.count);
        if (f.value.size() <= 4) {
            std::memcpy(&out[entry + 8], f.value.data(), f.value.size());  // left-justified
        } else {
            if (out.size() & 1)
                out.push_back(0);
            store32le(&out[entry + 8], std::uint32_t(out.size()));
            out.insert(out.end(), f.value.begin(), f.value.end());
        }
    }
    return {start, next};
}

}  // namespace quarbel::codecs::tiff
