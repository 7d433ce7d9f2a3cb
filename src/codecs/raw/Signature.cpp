// Telling camera raw files from ordinary pictures by their first bytes. DNG and most makers'
// raw files are TIFF files: what gives them away is a directory (the first, one of its
// sub-directories or one further down the chain) holding a DNGVersion tag or a picture whose
// photometric interpretation is a colour filter array or linear raw data.

#include "codecs/raw/CameraRaw.h"

#include <cstring>
#include <vector>

namespace quarbel::codecs::raw {

namespace {

constexpr std::uint16_t kPhotometric = 0x0106;
constexpr std::uint16_t kSubIfds = 0x014A;
constexpr std::uint16_t kDngVersion = 0xC612;
constexpr std::uint16_t kColourFilterArray = 32803;
constexpr std::uint16_t kLinearRaw = 34892;

// Enough for the layouts cameras write (a preview, the raw picture, a thumbnail and a few
// sub-directories); a file that needs more is not looked at further.
constexpr int kMostDirectories = 16;
constexpr unsigned kMostEntries = 1024;

bool startsWith(std::span<const std::uint8_t> bytes, std::string_view magic, std::size_t at = 0)
{
    return bytes.size() >= at + magic.size() &&
           std::memcmp(bytes.data() + at, magic.data(), magic.size()) == 0;
}

class TiffWalk {
public:
    explicit TiffWalk(std::span<const std::uint8_t> bytes) : m_bytes(bytes), m_little(bytes[0] == 'I') {}

    bool findsRawPicture()
    {
        std::vector<std::uint32_t> pending = {load32(4)};
        std::vector<std::uint32_t> seen;
        while (!pending.empty() && int(seen.size()) < kMostDirectories) {
            const std::uint32_t at = pending.back();
            pending.pop_back();
            if (at < 8 || std::uint64_t(at) + 2 > m_bytes.size())
                continue;
            bool known = false;
            for (std::uint32_t s : seen)
                known = known || s == at;
            if (known)
                continue;
            seen.push_back(at);
            const unsigned count = std::min<unsigned>(load16(at), kMostEntries);
            const std::uint64_t end = std::uint64_t(at) + 2 + 12ull * count;
            for (std::uint64_t entry = std::uint64_t(at) + 2;
                 entry + 12 <= std::min<std::uint64_t>(end, m_bytes.size()); entry += 12) {
                const std::uint16_t tag = load16(entry), type = load16(entry + 2);
                const std::uint32_t n = load32(entry + 4);
                if (tag == kDngVersion)
                    return true;
                if (tag == kPhotometric && type == 3) {
                    const std::uint16_t value = load16(entry + 8);
                    if (value == kColourFilterArray || value == kLinearRaw)
                        return true;
                }
                if (tag == kSubIfds && (type == 4 || type == 13) && n > 0) {
                    if (n == 1) {
                        pending.push_back(load32(entry + 8));
                    } else {
                        const std::uint32_t list = load32(entry + 8);
                        for (std::uint32_t i = 0; i < std::min<std::uint32_t>(n, kMostDirectories); ++i)
                            if (std::uint64_t(list) + 4ull * i + 4 <= m_bytes.size())
                                pending.push_back(load32(std::uint64_t(list) + 4ull * i));
                    }
                }
            }
            if (end + 4 <= m_bytes.size())
                pending.insert(pending.begin(), load32(end));  // the chain after the sub-directories
        }
        return false;
    }

private:
    std::uint16_t load16(std::uint64_t at) const
    {
        const std::uint8_t* p = m_bytes.data() + at;
        return m_little ? std::uint16_t(p[0] | p[1] << 8) : std::uint16_t(p[0] << 8 | p[1]);
    }
    std::uint32_t load32(std::uint64_t at) const
    {
        const std::uint8_t* p = m_bytes.data() + at;
        return m_little ? (p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24)
                        : (std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]);
    }

    std::span<const std::uint8_t> m_bytes;
    bool m_little;
};

}  // namespace

bool looksLikeCameraRaw(std::span<const std::uint8_t> bytes)
{
    using namespace std::string_view_literals;
    if (startsWith(bytes, "FUJIFILMCCD-RAW"))  // RAF
        return true;
    if (startsWith(bytes, "IIRO") || startsWith(bytes, "IIRS") || startsWith(bytes, "MMOR"))  // ORF
        return true;
    if (startsWith(bytes, "IIU\0"sv))  // RW2
        return true;
    if (startsWith(bytes, "ftyp", 4) && startsWith(bytes, "crx ", 8))  // CR3
        return true;
    const bool tiff = startsWith(bytes, "II*\0"sv) || startsWith(bytes, "MM\0*"sv);
    if (!tiff || bytes.size() < 16)
        return false;
    if (startsWith(bytes, "CR", 8))  // CR2
        return true;
    return TiffWalk(bytes).findsRawPicture();
}

}  // namespace quarbel::codecs::raw
