#pragma once
// The LZW code stream of one GIF image: variable code sizes from the minimum code size + 1
// up to 12 bits, a clear code at the start and whenever the code table is full, packed
// least significant bit first into data sub-blocks of at most 255 bytes.

#include "codecs/Cancel.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarbel::codecs::gif {

// Appends the minimum code size byte, the sub-blocks of the compressed indices and the
// block terminator to out. minCodeSize is 2..8 and every index must be below 1 << minCodeSize.
// Throws Cancelled once cancel is cancelled (looked at every few thousand indices).
void appendLzw(const std::uint8_t* indices, std::size_t count, int minCodeSize,
               std::vector<std::uint8_t>& out, const CancelToken* cancel = nullptr);

}  // namespace quarbel::codecs::gif
