// A batch's answer comes from a worker process, which may be in a decoder's hands: it is read
// only when every entry lies inside it.

#include "jobs/worker/ItemBatch.h"

#include <gtest/gtest.h>
#include <cstring>

namespace quarbel::testing {
namespace {

TEST(ItemBatchLayoutTest, APieceIsReadOnlyWhenEveryEntryLiesInsideIt)
{
    namespace w = jobs::worker;
    const std::uint8_t one[] = {1, 2, 3}, two[] = {4, 5};
    const std::vector<w::BatchEntry> entries = {{w::EntryStatus::Done, one}, {w::EntryStatus::Failed, two}};
    std::vector<std::uint8_t> piece(w::batchSize(entries));
    w::writeBatch(entries, piece);
    std::vector<w::BatchEntry> read;
    ASSERT_TRUE(w::readBatch(piece, 2, read));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].status, w::EntryStatus::Failed);
    EXPECT_EQ(std::vector<std::uint8_t>(read[1].bytes.begin(), read[1].bytes.end()),
              (std::vector<std::uint8_t>{4, 5}));

    // The entries begin after the 8-byte header; each is status, reserved, offset, size.
    const auto patched = [&](std::size_t at, std::uint64_t value, std::size_t width) {
        auto copy = piece;
        std::memcpy(copy.data() + at, &value, width);
        return copy;
    };
    const struct {
        const char* what;
        std::vector<std::uint8_t> piece;
        std::size_t expected;
    } bad[] = {
        {"another count", piece, 3},
        {"cut short", std::vector<std::uint8_t>(piece.begin(), piece.end() - 1), 2},
        {"no room for its entries", std::vector<std::uint8_t>(piece.begin(), piece.begin() + 20), 2},
        {"a status of none", patched(8, 7, 4), 2},
        {"an offset past the end", patched(8 + 8, piece.size() + 1, 8), 2},
        {"a size past the end", patched(8 + 16, piece.size(), 8), 2},
        {"a size that wraps", patched(8 + 16, ~std::uint64_t(0), 8), 2},
        {"a wrong magic", patched(0, 0, 4), 2},
    };
    for (const auto& b : bad)
        EXPECT_FALSE(w::readBatch(b.piece, b.expected, read)) << b.what;
}

}  // namespace
}  // namespace quarbel::testing
