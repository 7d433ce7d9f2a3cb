#include "jobs/worker/ItemBatch.h"

#include <cstring>

namespace quarbel::jobs::worker {

namespace {

constexpr std::uint32_t kMagic = 0x51425431;  // "QBT1"
constexpr std::size_t kMostEntries = 4096;

struct Header {
    std::uint32_t magic;
    std::uint32_t count;
};

struct Entry {
    std::uint32_t status;
    std::uint32_t reserved;
    std::uint64_t offset;
    std::uint64_t size;
};

}  // namespace

std::size_t batchSize(const std::vector<BatchEntry>& entries)
{
    std::size_t size = sizeof(Header) + entries.size() * sizeof(Entry);
    for (const BatchEntry& entry : entries)
        size += entry.bytes.size();
    return size;
}

void writeBatch(const std::vector<BatchEntry>& entries, std::span<std::uint8_t> piece)
{
    const Header header{kMagic, std::uint32_t(entries.size())};
    std::memcpy(piece.data(), &header, sizeof header);
    std::size_t at = sizeof(Header) + entries.size() * sizeof(Entry);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& bytes = entries[i].bytes;
        const Entry entry{std::uint32_t(entries[i].status), 0, at, bytes.size()};
        std::memcpy(piece.data() + sizeof(Header) + i * sizeof(Entry), &entry, sizeof entry);
        if (!bytes.empty())
            std::memcpy(piece.data() + at, bytes.data(), bytes.size());
        at += bytes.size();
    }
}

bool readBatch(std::span<const std::uint8_t> piece, std::size_t expected, std::vector<BatchEntry>& entries)
{
    entries.clear();
    Header header;
    if (piece.size() < sizeof header)
        return false;
    std::memcpy(&header, piece.data(), sizeof header);
    if (header.magic != kMagic || header.count > kMostEntries || (expected && header.count != expected) ||
        (piece.size() - sizeof header) / sizeof(Entry) < header.count)
        return false;
    for (std::uint32_t i = 0; i < header.count; ++i) {
        Entry entry;
        std::memcpy(&entry, piece.data() + sizeof header + i * sizeof entry, sizeof entry);
        if (entry.status > std::uint32_t(EntryStatus::NotDone) || entry.offset > piece.size() ||
            entry.size > piece.size() - entry.offset)
            return false;
        entries.push_back({EntryStatus(entry.status), piece.subspan(entry.offset, entry.size)});
    }
    return true;
}

}  // namespace quarbel::jobs::worker
