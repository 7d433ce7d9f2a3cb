// The TIFF writer on a small fuzzed picture of one to four pages, its rows handed over a
// few at a time, with a fuzzed profile and metadata: libtiff must read back every page's
// samples exactly, the profile and the XMP packet.
#include "FuzzSupport.h"

#include "codecs/Failure.h"
#include "codecs/tiff/TiffWriter.h"

#include <sys/mman.h>
#include <tiffio.h>
#include <unistd.h>

using namespace quarbel;

namespace {

// libtiff reads the file from memory through a descriptor of its own.
TIFF* openInMemory(const fuzz::Bytes& file)
{
    const int fd = memfd_create("fuzz-tiff", 0);
    FUZZ_CHECK(fd >= 0 && write(fd, file.data(), file.size()) == ssize_t(file.size()));
    lseek(fd, 0, SEEK_SET);
    return TIFFFdOpen(fd, "fuzz.tif", "r");  // TIFFClose closes fd
}

bool fieldIs(TIFF* tiff, ttag_t tag, const fuzz::Bytes& want)
{
    std::uint32_t count = 0;
    const void* value = nullptr;
    if (TIFFGetField(tiff, tag, &count, &value) != 1)
        return want.empty();
    return count == want.size() && std::memcmp(value, want.data(), count) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLibraries();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    codecs::tiff::Layout layout;
    layout.pages = input.ConsumeIntegralInRange(1, 4);
    layout.xres = input.ConsumeIntegralInRange(1, 2400);
    layout.yres = input.ConsumeIntegralInRange(1, 2400);
    layout.resolutionUnit = input.ConsumeBool() ? codecs::tiff::Inch : codecs::tiff::Centimetre;
    layout.profile = fuzz::takeProfile(input);
    layout.metadata = fuzz::takeMetadata(input);
    const int strip = input.ConsumeIntegralInRange(1, 16);
    const fuzz::Picture picture = fuzz::takePicture(input, 64, int(layout.pages));
    layout.width = std::uint32_t(picture.width);
    layout.pageHeight = std::uint32_t(picture.height) / layout.pages;
    layout.samples = picture.bands;

    fuzz::Bytes file;
    {
        codecs::tiff::TiffWriter writer(layout);
        const codecs::PixelView view = picture.view();
        for (int top = 0; top < picture.height; top += strip)
            writer.add(view.rows(top, std::min(strip, picture.height - top)));
        file = writer.take();
    }

    TIFF* tiff = openInMemory(file);
    FUZZ_CHECK(tiff);
    FUZZ_CHECK(fieldIs(tiff, TIFFTAG_XMLPACKET, layout.metadata.xmp));
    FUZZ_CHECK(fieldIs(tiff, TIFFTAG_ICCPROFILE, layout.profile));
    std::uint32_t row = 0;
    fuzz::Bytes line(picture.view().rowBytes());
    do {
        std::uint32_t width = 0, height = 0;
        std::uint16_t samples = 0;
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
        FUZZ_CHECK(width == layout.width && height == layout.pageHeight && samples == layout.samples);
        FUZZ_CHECK(std::size_t(TIFFScanlineSize(tiff)) == line.size());
        for (std::uint32_t y = 0; y < height; ++y, ++row) {
            FUZZ_CHECK(TIFFReadScanline(tiff, line.data(), y) == 1);
            FUZZ_CHECK(std::equal(line.begin(), line.end(), picture.view().row(int(row))));
        }
    } while (TIFFReadDirectory(tiff));
    FUZZ_CHECK(row == std::uint32_t(picture.height));
    TIFFClose(tiff);
    return 0;
}
