#include "codecs/exif/Directory.h"

#include <algorithm>
#include <cstring>

namespace quarbel::codecs::exif {

namespace {

constexpr std::size_t kEntrySize = 12;

}  // namespace

void Directory::addField(std::uint16_t tag, std::uint16_t type, std::uint32_t count, const Bytes& value)
{
    m_fields.push_back(Field{tag, type, count, value});
}

Directory::Placement Directory::appendTo(Bytes& out) const
{
    std::vector<const Field*> sorted;
    sorted.reserve(m_fields.size());
    for (const Field& f : m_fields)
        sorted.push_back(&f);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Field* a, const Field* b) { return a->tag < b->tag; });

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
            std::copy(f.value.begin(), f.value.end(),
                      out.begin() + std::ptrdiff_t(entry + 8));  // left-justified
        } else {
            if (out.size() & 1)
                out.push_back(0);
            store32le(&out[entry + 8], std::uint32_t(out.size()));
            out.insert(out.end(), f.value.begin(), f.value.end());
        }
    }
    return {start, next};
}

}  // namespace quarbel::codecs::exif
