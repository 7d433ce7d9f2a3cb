// Bytes moved into shared memory arrive whole, also when the memory they came from is given
// back stretch by stretch on the way.

#include "platform/sandbox/SharedBuffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace quarbel::platform::sandbox {
namespace {

std::vector<std::uint8_t> noise(std::size_t size)
{
    std::mt19937 generator{unsigned(size)};
    std::vector<std::uint8_t> bytes(size);
    for (auto& byte : bytes)
        byte = std::uint8_t(generator() | 1);  // never zero: a page given back too soon reads as zeros
    return bytes;
}

TEST(SharedBufferTest, TakenBytesArriveWholeAndTheSourceIsEmptied)
{
    // Empty, within a page, one stretch exactly, and several stretches ending mid-page.
    for (const std::size_t size : {std::size_t(0), std::size_t(4095), std::size_t(4) << 20,
                                   (std::size_t(9) << 20) + 123}) {
        SCOPED_TRACE(size);
        const std::vector<std::uint8_t> expected = noise(size);
        std::vector<std::uint8_t> source = expected;
        SharedBuffer buffer = SharedBuffer::create(7);
        ASSERT_TRUE(buffer.take(std::move(source))) << buffer.error();
        EXPECT_TRUE(source.empty());
        ASSERT_EQ(buffer.size(), size);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer.bytes().begin()));
    }
}

}  // namespace
}  // namespace quarbel::platform::sandbox
