#include "codecs/exif/Exif.h"

#include "codecs/exif/Directory.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace quarbel::codecs::exif {

namespace {

constexpr std::uint16_t kInteroperabilityIfd = 0xA005;
constexpr std::uint16_t kPixelXDimension = 0xA002;
constexpr std::uint16_t kPixelYDimension = 0xA003;
constexpr std::uint16_t kShort = 3, kLong = 4;
constexpr std::size_t kMostEntries = 1000;  // per directory; real ones have a few dozen

// Bytes per element of a field type and how many elements a value of `count` has; 0 for a
// type this reader does not know.
std::size_t elementSize(std::uint16_t type)
{
    switch (type) {
    case 1:
    case 2:
    case 6:
    case 7: return 1;
    case 3:
    case 8: return 2;
    case 4:
    case 5:
    case 9:
    case 10:
    case 11:
    case 13: return 4;
    case 12: return 8;
    default: return 0;
    }
}

std::size_t elementCount(std::uint16_t type, std::uint32_t count)
{
    return (type == 5 || type == 10) ? std::size_t(count) * 2 : count;  // rationals are pairs
}

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool header()
    {
        if (m_size < 8)
            return false;
        if (std::memcmp(m_data, "II", 2) == 0)
            m_big = false;
        else if (std::memcmp(m_data, "MM", 2) == 0)
            m_big = true;
        else
            return false;
        return u16(2) == 42;
    }

    std::uint16_t u16(std::size_t at) const
    {
        return m_big ? std::uint16_t(m_data[at] << 8 | m_data[at + 1]) : load16le(m_data + at);
    }
    std::uint32_t u32(std::size_t at) const
    {
        return m_big ? std::uint32_t(m_data[at]) << 24 | m_data[at + 1] << 16 | m_data[at + 2] << 8 |
                           m_data[at + 3]
                     : load32le(m_data + at);
    }

    // The entries of the directory at `offset`; false when it does not lie inside the block.
    bool directory(std::uint32_t offset, std::vector<Entry>& entries) const
    {
        if (offset < 8 || std::size_t(offset) + 2 > m_size)
            return false;
        const std::size_t n = u16(offset);
        if (n > kMostEntries || offset + 2 + n * 12 > m_size)
            return false;
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t at = offset + 2 + i * 12;
            Entry e;
            e.tag = u16(at);
            e.type = u16(at + 2);
            e.count = u32(at + 4);
            const std::size_t unit = elementSize(e.type);
            if (unit == 0 || e.count > m_size)
                continue;  // an unknown type or a count no block this size can hold
            const std::size_t elements = elementCount(e.type, e.count);
            const std::size_t bytes = elements * unit;
            std::size_t from = at + 8;
            if (bytes > 4) {
                from = u32(at + 8);
                if (from > m_size || bytes > m_size - from)
                    continue;  // the value lies outside the block
            }
            e.value.assign(m_data + from, m_data + from + bytes);
            if (m_big && unit > 1)
                for (std::size_t k = 0; k < bytes; k += unit)
                    std::reverse(e.value.begin() + std::ptrdiff_t(k),
                                 e.value.begin() + std::ptrdiff_t(k + unit));
            entries.push_back(std::move(e));
        }
        return true;
    }

    std::uint32_t ifd0Offset() const { return u32(4); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    bool m_big = false;
};

bool isOffsetTag(std::uint16_t tag)
{
    constexpr std::uint16_t kSubIfds = 0x014A, kThumbnailOffset = 0x0201;
    return tag == kExifIfd || tag == kGpsIfd || tag == kInteroperabilityIfd || tag == kSubIfds ||
           tag == kThumbnailOffset;
}

// A sub-directory's offset from its (first) pointer entry; the pointers are then dropped from
// the list.
std::optional<std::uint32_t> takePointer(std::vector<Entry>& entries, std::uint16_t tag)
{
    const auto it =
        std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.tag == tag; });
    if (it == entries.end())
        return std::nullopt;
    std::optional<std::uint32_t> offset;
    if (it->value.size() == 4)
        offset = load32le(it->value.data());
    // Every pointer of the kind goes: one left behind would be written again beside the new
    // one, pointing into the source's block, and a reader taking it would read nonsense.
    std::erase_if(entries, [&](const Entry& e) { return e.tag == tag; });
    return offset;
}

Entry shortEntry(std::uint16_t tag, std::uint16_t value)
{
    Entry e{tag, kShort, 1, Bytes(2)};
    store16le(e.value.data(), value);
    return e;
}

Entry longEntry(std::uint16_t tag, std::uint32_t value)
{
    Entry e{tag, kLong, 1, Bytes(4)};
    store32le(e.value.data(), value);
    return e;
}

void replace(std::vector<Entry>& entries, Entry entry)
{
    for (Entry& e : entries)
        if (e.tag == entry.tag) {
            e = std::move(entry);
            return;
        }
}

void addAll(Directory& directory, const std::vector<Entry>& entries)
{
    for (const Entry& e : entries)
        directory.addField(e.tag, e.type, e.count, e.value);
}

std::uint32_t load32be(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

}  // namespace

std::optional<Block> parse(const std::uint8_t* data, std::size_t size)
{
    if (size >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0) {
        data += 6;
        size -= 6;
    }
    Reader reader(data, size);
    Block block;
    if (!reader.header() || !reader.directory(reader.ifd0Offset(), block.ifd0))
        return std::nullopt;
    if (const auto exif = takePointer(block.ifd0, kExifIfd)) {
        reader.directory(*exif, block.exif);
        takePointer(block.exif, kInteroperabilityIfd);
    }
    if (const auto gps = takePointer(block.ifd0, kGpsIfd))
        reader.directory(*gps, block.gps);
    // Offsets into the source's block that are not where they belong (an Exif pointer inside
    // the Exif directory, an interoperability pointer in IFD0, sub-IFDs, a thumbnail's
    // offset) would point into the written block at random: they go too.
    for (std::vector<Entry>* entries : {&block.ifd0, &block.exif, &block.gps})
        std::erase_if(*entries, [](const Entry& e) { return isOffsetTag(e.tag); });
    return block;
}

void describe(Block& block, int orientation, std::uint32_t width, std::uint32_t height)
{
    replace(block.ifd0, shortEntry(kOrientation, std::uint16_t(orientation)));
    replace(block.exif, longEntry(kPixelXDimension, width));
    replace(block.exif, longEntry(kPixelYDimension, height));
}

Bytes encode(const Block& block)
{
    Bytes out = {'I', 'I', 42, 0, 0, 0, 0, 0};
    Directory ifd0;
    addAll(ifd0, block.ifd0);
    for (const auto& [tag, entries] : {std::pair{kExifIfd, &block.exif}, std::pair{kGpsIfd, &block.gps}}) {
        if (entries->empty())
            continue;
        Directory sub;
        addAll(sub, *entries);
        const std::uint32_t offset = std::uint32_t(sub.appendTo(out).offset);
        ifd0.addField(tag, kLong, 1, longEntry(tag, offset).value);
    }
    // appendTo grows out: take the offset first, then the address of the header's field.
    const std::uint32_t ifd0Offset = std::uint32_t(ifd0.appendTo(out).offset);
    store32le(out.data() + 4, ifd0Offset);
    return out;
}

Bytes iptcRecords(const std::uint8_t* data, std::size_t size)
{
    static constexpr char kPhotoshop[] = "Photoshop 3.0";
    if (size > 0 && data[0] == 0x1C)
        return Bytes(data, data + size);  // already IIM records
    if (size < sizeof kPhotoshop || std::memcmp(data, kPhotoshop, sizeof kPhotoshop) != 0)
        return {};
    // 8BIM resources: signature, id, a Pascal name padded to even length, size, data padded
    // to even length.
    std::size_t at = sizeof kPhotoshop;
    while (at + 12 <= size && std::memcmp(data + at, "8BIM", 4) == 0) {
        const unsigned id = unsigned(data[at + 4]) << 8 | data[at + 5];
        const std::size_t nameBytes = (std::size_t(data[at + 6]) + 2) & ~std::size_t(1);
        const std::size_t lengthAt = at + 6 + nameBytes;
        if (lengthAt + 4 > size)
            break;
        const std::size_t length = load32be(data + lengthAt);
        const std::size_t start = lengthAt + 4;
        if (length > size - start)
            break;
        if (id == 0x0404)
            return Bytes(data + start, data + start + length);
        at = start + length + (length & 1);
    }
    return {};
}

Bytes xmpWithOrientation(const std::uint8_t* data, std::size_t size, int orientation)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    const std::string value = std::to_string(orientation);
    // tiff:Orientation="6" and <tiff:Orientation>6</tiff:Orientation>
    for (const auto& [open, close] : {std::pair<std::string_view, char>{"tiff:Orientation=\"", '"'},
                                      std::pair<std::string_view, char>{"tiff:Orientation='", '\''},
                                      std::pair<std::string_view, char>{"<tiff:Orientation>", '<'}}) {
        for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
            const std::size_t from = at + open.size();
            const std::size_t to = text.find(close, from);
            if (to == std::string::npos)
                break;
            text.replace(from, to - from, value);
            at = from + value.size();
        }
    }
    return Bytes(text.begin(), text.end());
}

}  // namespace quarbel::codecs::exif
