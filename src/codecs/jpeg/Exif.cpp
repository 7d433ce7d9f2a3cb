#include "codecs/jpeg/Exif.h"

#include <cstring>
#include <functional>

namespace quarbel::codecs::jpeg {

namespace {

constexpr std::size_t kTiffStart = 6;  // after "Exif\0\0"
constexpr std::uint16_t kShort = 3, kLong = 4;

// A TIFF structure inside the payload; every read is checked against its end.
class Tiff {
public:
    Tiff(std::uint8_t* data, std::size_t size) : m_data(data), m_size(size)
    {
        m_valid = size >= 8 && ((data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M'));
        m_little = m_valid && data[0] == 'I';
    }
    bool valid() const { return m_valid; }
    bool fits(std::size_t at, std::size_t n) const { return at <= m_size && n <= m_size - at; }
    std::uint32_t get(std::size_t at, int bytes) const
    {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            const std::uint32_t b = m_data[at + i];
            v |= m_little ? b << (8 * i) : b << (8 * (bytes - 1 - i));
        }
        return v;
    }
    void put(std::size_t at, int bytes, std::uint32_t v)
    {
        for (int i = 0; i < bytes; ++i)
            m_data[at + i] = std::uint8_t(m_little ? v >> (8 * i) : v >> (8 * (bytes - 1 - i)));
    }
    // Calls visit(tag, type, count, valueOffset) for each entry of the IFD at `at`.
    void forEachEntry(
        std::size_t at,
        const std::function<void(std::uint16_t, std::uint16_t, std::uint32_t, std::size_t)>& visit) const
    {
        if (!fits(at, 2))
            return;
        const std::uint32_t count = get(at, 2);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t entry = at + 2 + std::size_t(i) * 12;
            if (!fits(entry, 12))
                return;
            visit(std::uint16_t(get(entry, 2)), std::uint16_t(get(entry + 2, 2)), get(entry + 4, 4),
                  entry + 8);
        }
    }
    std::size_t firstIfd() const { return get(4, 4); }

private:
    std::uint8_t* m_data;
    std::size_t m_size;
    bool m_valid = false, m_little = false;
};

}  // namespace

bool isExif(const std::uint8_t* payload, std::size_t size)
{
    return size >= kTiffStart + 8 && std::memcmp(payload, "Exif\0\0", kTiffStart) == 0;
}

int exifOrientation(const std::uint8_t* payload, std::size_t size)
{
    if (!isExif(payload, size))
        return 1;
    Tiff tiff(const_cast<std::uint8_t*>(payload) + kTiffStart, size - kTiffStart);
    if (!tiff.valid())
        return 1;
    int orientation = 1;
    tiff.forEachEntry(tiff.firstIfd(),
                      [&](std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::size_t value) {
                          if (tag == 0x0112 && type == kShort && count >= 1) {
                              const std::uint32_t v = tiff.get(value, 2);
                              orientation = v >= 1 && v <= 8 ? int(v) : 1;
                          }
                      });
    return orientation;
}

void setExifDimensions(std::vector<std::uint8_t>& payload, std::uint32_t width, std::uint32_t height)
{
    if (!isExif(payload.data(), payload.size()))
        return;
    Tiff tiff(payload.data() + kTiffStart, payload.size() - kTiffStart);
    if (!tiff.valid())
        return;
    std::size_t exifIfd = 0;
    tiff.forEachEntry(tiff.firstIfd(),
                      [&](std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::size_t value) {
                          if (tag == 0x8769 && type == kLong && count == 1)
                              exifIfd = tiff.get(value, 4);
                      });
    if (exifIfd == 0)
        return;
    tiff.forEachEntry(exifIfd,
                      [&](std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::size_t value) {
                          if ((tag != 0xA002 && tag != 0xA003) || count != 1)
                              return;
                          const std::uint32_t v = tag == 0xA002 ? width : height;
                          if (type == kLong)
                              tiff.put(value, 4, v);
                          else if (type == kShort && v <= 0xFFFF)
                              tiff.put(value, 2, v);
                      });
}

}  // namespace quarbel::codecs::jpeg
