#pragma once
// Several small items in one Work message: the program lays their sources out in one piece
// of shared memory, the worker answers with one piece that holds each item's output or the
// reason it failed. Both pieces have the same layout: a header (magic, count), then an entry
// per item (status, offset and size of its bytes from the start of the piece), then the
// bytes. The worker's answer is read as coming from a stranger: every entry is checked to lie
// inside the piece.
//
// A worker stops answering items once the outputs of a batch pass kAnswerBudget (a small file
// can hold a picture with a large output, as a BMP) and marks the rest NotDone; the program
// sends those again.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quarbel::jobs::worker {

// The text of a batch's Work message begins with this, followed by the item request text.
inline constexpr std::string_view kBatchOperation = "batch ";

inline constexpr std::size_t kAnswerBudget = 64u << 20;

enum class EntryStatus : std::uint32_t { Done = 0, Failed = 1, NotDone = 2 };

struct BatchEntry {
    EntryStatus status = EntryStatus::Done;
    std::span<const std::uint8_t> bytes;  // a source, an output, or a reason (Failed)
};

// The size of the piece that holds these entries.
std::size_t batchSize(const std::vector<BatchEntry>& entries);
// Writes the entries into a piece of batchSize(entries) bytes.
void writeBatch(const std::vector<BatchEntry>& entries, std::span<std::uint8_t> piece);
// Reads a piece; false when it is not one, or when expected is not 0 and it holds another
// number of entries. The entries' bytes point into the piece.
bool readBatch(std::span<const std::uint8_t> piece, std::size_t expected, std::vector<BatchEntry>& entries);

}  // namespace quarbel::jobs::worker
