// The BMP reader: the header's size, then the whole picture, which must have that size and
// every byte of which must be readable.
#include "FuzzSupport.h"

#include "codecs/Failure.h"
#include "codecs/bmp/Bmp.h"

using namespace quarbel;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLibraries();
    codecs::bmp::prepareReader();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    codecs::bmp::Header header;
    try {
        header = codecs::bmp::readHeader(data, size);
    } catch (const codecs::Failure&) {
        return 0;
    }
    FUZZ_CHECK(header.width > 0 && header.height > 0);
    // Run-length coded files make large pictures of few bytes; a megapixel is enough to find
    // what a larger one would, a thousand times faster.
    if (std::int64_t(header.width) * header.height > std::int64_t(1) << 20)
        return 0;
    try {
        const codecs::bmp::Decoded decoded = codecs::bmp::decode(data, size);
        const codecs::PixelView& p = decoded.pixels;
        FUZZ_CHECK(decoded.owner && p.data);
        FUZZ_CHECK(p.width == header.width && p.height == header.height);
        FUZZ_CHECK((p.bands == 3 || p.bands == 4) && p.stride >= p.rowBytes());
        unsigned sum = 0;
        for (int y = 0; y < p.height; ++y)
            for (std::size_t x = 0; x < p.rowBytes(); ++x)
                sum += p.row(y)[x];
        volatile unsigned keep = sum;
        (void)keep;
    } catch (const codecs::Failure&) {
    }
    return 0;
}
