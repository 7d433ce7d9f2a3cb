// The EXIF reader and writer: a block read, described as a written picture, and written
// must read back to the same entries, and its encoding must not change when written again.
// A JPEG file's own EXIF segments are taken as they are, the way a conversion meets them.
#include "FuzzSupport.h"

#include "codecs/jpeg/Exif.h"
#include "codecs/jpeg/Transcode.h"

using namespace quarbel;
using codecs::exif::Block;
using codecs::exif::Entry;

namespace {

bool same(const std::vector<Entry>& a, const std::vector<Entry>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Entry& x, const Entry& y) {
        return x.tag == y.tag && x.type == y.type && x.count == y.count && x.value == y.value;
    });
}

// The entries as the writer orders them: by tag, those of one tag in their first order.
Block sorted(Block block)
{
    for (auto* entries : {&block.ifd0, &block.exif, &block.gps})
        std::stable_sort(entries->begin(), entries->end(),
                         [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    return block;
}

void roundTrip(const std::uint8_t* data, std::size_t size, int orientation)
{
    std::optional<Block> block = codecs::exif::parse(data, size);
    if (!block)
        return;
    codecs::exif::describe(*block, orientation, 640, 480);
    const fuzz::Bytes encoded = codecs::exif::encode(*block);
    const std::optional<Block> again = codecs::exif::parse(encoded.data(), encoded.size());
    FUZZ_CHECK(again);
    const Block expected = sorted(*block);
    FUZZ_CHECK(same(expected.ifd0, again->ifd0));
    FUZZ_CHECK(same(expected.exif, again->exif));
    FUZZ_CHECK(same(expected.gps, again->gps));
    FUZZ_CHECK(codecs::exif::encode(*again) == encoded);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int orientation = size ? 1 + data[size - 1] % 8 : 1;
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        for (const codecs::jpeg::Marker& m : codecs::jpeg::metadataSegments(data, size))
            if (m.code == 0xE1 && codecs::jpeg::isExif(m.payload.data(), m.payload.size()))
                roundTrip(m.payload.data(), m.payload.size(), orientation);
        return 0;
    }
    roundTrip(data, size, orientation);
    return 0;
}
