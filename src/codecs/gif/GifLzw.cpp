#include "codecs/gif/GifLzw.h"

#include <array>
#include <cstring>

namespace quarbel::codecs::gif {

namespace {

constexpr int kMaxBits = 12;
// The table is full when the next code would be the last a 12-bit table holds (like giflib,
// code 4095 itself is never assigned, which every decoder accepts).
constexpr unsigned kTableFull = (1u << kMaxBits) - 1;
// A full table is kept while it compresses as well as before (decoders support this
// "deferred clear"): the bits spent on each window of at least kWindow indices are compared
// with the window before and with the table's last window before it filled, and the table
// starts over once it does worse than either. Starting over as soon as it fills costs about
// five percent on photographs, as a fresh table codes little but single indices at first;
// keeping a table for ever makes pictures whose content changes much larger.
constexpr std::size_t kWindow = 4000;

// The codes made so far, found by their prefix code followed by one more index (the key,
// 20 bits). Open addressing with linear probing, at most half full; a slot packs the key
// above the code.
class CodeTable {
public:
    static constexpr int kBits = 13;
    static constexpr unsigned kMask = (1u << kBits) - 1;
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;  // key 0xFFFFF with code 4095: never made

    CodeTable() { clear(); }
    void clear() { std::memset(m_slots.data(), 0xFF, sizeof m_slots); }
    static unsigned hash(unsigned key) { return (key * 0x9E3779B1u) >> (32 - kBits); }
    std::uint32_t* slots() { return m_slots.data(); }

private:
    std::array<std::uint32_t, 1u << kBits> m_slots;
};

// Codes packed least significant bit first, gathered in a staging area and moved to the
// output in sub-blocks of 255 bytes.
class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : m_out(out) {}

    void put(unsigned code, int bits)
    {
        m_buffer |= std::uint64_t(code) << m_filled;
        m_filled += bits;
        if (m_filled >= 32) {
            std::uint8_t* p = m_staging.data() + m_used;
            p[0] = std::uint8_t(m_buffer);
            p[1] = std::uint8_t(m_buffer >> 8);
            p[2] = std::uint8_t(m_buffer >> 16);
            p[3] = std::uint8_t(m_buffer >> 24);
            m_used += 4;
            m_buffer >>= 32;
            m_filled -= 32;
            if (m_used >= kFlushAt)
                flush(false);
        }
    }

    void finish()
    {
        while (m_filled > 0) {
            m_staging[m_used++] = std::uint8_t(m_buffer);
            m_buffer >>= 8;
            m_filled -= 8;
        }
        m_filled = 0;
        flush(true);
        m_out.push_back(0);  // block terminator
    }

private:
    static constexpr std::size_t kBlock = 255;
    static constexpr std::size_t kFlushAt = 64 * kBlock;

    // Moves whole sub-blocks (and with last, the rest too) to the output.
    void flush(bool last)
    {
        std::size_t done = 0;
        while (m_used - done >= kBlock || (last && m_used > done)) {
            const std::size_t n = std::min(kBlock, m_used - done);
            m_out.push_back(std::uint8_t(n));
            m_out.insert(m_out.end(), m_staging.begin() + std::ptrdiff_t(done),
                         m_staging.begin() + std::ptrdiff_t(done + n));
            done += n;
        }
        std::memmove(m_staging.data(), m_staging.data() + done, m_used - done);
        m_used -= done;
    }

    std::vector<std::uint8_t>& m_out;
    std::array<std::uint8_t, kFlushAt + 16> m_staging;
    std::size_t m_used = 0;
    std::uint64_t m_buffer = 0;
    int m_filled = 0;
};

}  // namespace

void appendLzw(const std::uint8_t* indices, std::size_t count, int minCodeSize,
               std::vector<std::uint8_t>& out, const CancelToken* cancel)
{
    out.push_back(std::uint8_t(minCodeSize));
    BitWriter writer(out);
    CodeTable table;
    std::uint32_t* const slots = table.slots();
    const unsigned clearCode = 1u << minCodeSize, endCode = clearCode + 1;
    int codeSize = minCodeSize + 1;
    unsigned nextCode = endCode + 1;
    unsigned sizeLimit = 1u << codeSize;  // the first code that needs one more bit
    std::size_t bitsOut = 0;

    // After each code the decoder adds an entry; once the next code to add no longer fits,
    // both sides widen their codes by one bit.
    auto emit = [&](unsigned code) {
        writer.put(code, codeSize);
        bitsOut += std::size_t(codeSize);
        if (nextCode >= sizeLimit && codeSize < kMaxBits)
            sizeLimit = 1u << ++codeSize;
    };

    // The current window's start (index and bits written), and bits per kWindow indices of
    // the window before it and of the last full window before the table filled.
    std::size_t windowStart = 0, windowBits = 0, lastRate = 0, fullRate = 0;
    bool full = false;

    emit(clearCode);
    if (count > 0) {
        unsigned prefix = indices[0];
        for (std::size_t i = 1; i < count; ++i) {
            const unsigned index = indices[i];
            const unsigned key = prefix << 8 | index;
            unsigned slot = CodeTable::hash(key);
            std::uint32_t entry;
            while ((entry = slots[slot]) != CodeTable::kEmpty && entry >> kMaxBits != key)
                slot = (slot + 1) & CodeTable::kMask;
            if (entry != CodeTable::kEmpty) {
                prefix = entry & kTableFull;
                continue;
            }
            emit(prefix);
            prefix = index;
            if (!full) {
                slots[slot] = key << kMaxBits | nextCode++;
                full = nextCode == kTableFull;
                fullRate = lastRate;
            }
            if (i - windowStart < kWindow)
                continue;
            checkCancel(cancel);
            const std::size_t rate = (bitsOut - windowBits) * kWindow / (i - windowStart);
            const bool worse = full && (rate > lastRate || rate > fullRate);
            lastRate = rate;
            windowStart = i;
            windowBits = bitsOut;
            if (worse) {
                emit(clearCode);
                table.clear();
                codeSize = minCodeSize + 1;
                sizeLimit = 1u << codeSize;
                nextCode = endCode + 1;
                full = false;
            }
        }
        emit(prefix);
    }
    emit(endCode);
    writer.finish();
}

}  // namespace quarbel::codecs::gif
