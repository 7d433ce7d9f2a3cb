// The plain PNG reader (the small PNG to JPEG path): a picture it gives has the size and
// bands its header says and every byte readable; libpng's own simplified reader agrees on
// the size; and the picture encodes to a JPEG that libjpeg reads back at that size. The
// chunks' checksums are set right first, so that mutations reach past libpng's checks.
#include "FuzzSupport.h"

#include "codecs/jpeg/Libjpeg.h"
#include "codecs/png/PngReader.h"

#include <png.h>
#include <zlib.h>

using namespace quarbel;
namespace libjpeg = codecs::jpeg::libjpeg;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLibraries();
    return 0;
}

namespace {

fuzz::Bytes withChecksums(const std::uint8_t* data, std::size_t size)
{
    fuzz::Bytes file(data, data + size);
    std::size_t at = 8;
    while (at + 12 <= file.size()) {
        const std::size_t length = std::size_t(file[at]) << 24 | std::size_t(file[at + 1]) << 16 |
                                   std::size_t(file[at + 2]) << 8 | file[at + 3];
        if (length > file.size() - at - 12)
            break;
        const uLong crc = crc32(0, file.data() + at + 4, uInt(length + 4));
        for (int i = 0; i < 4; ++i)
            file[at + 8 + length + std::size_t(i)] = std::uint8_t(crc >> (24 - 8 * i));
        at += length + 12;
    }
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t inputSize)
{
    const fuzz::Bytes file = withChecksums(input, inputSize);
    const std::uint8_t* data = file.data();
    const std::size_t size = file.size();
    const auto png = codecs::png::readPlainPng(data, size, 512 * 512);
    if (!png)
        return 0;
    FUZZ_CHECK(png->width > 0 && png->height > 0 && png->bands >= 1 && png->bands <= 4);
    FUZZ_CHECK(png->pixels.size() == std::size_t(png->width) * std::size_t(png->height) * std::size_t(png->bands));
    unsigned sum = 0;
    for (std::uint8_t v : png->pixels)
        sum += v;
    volatile unsigned keep = sum;
    (void)keep;

    png_image header{};
    header.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&header, data, size)) {
        FUZZ_CHECK(int(header.width) == png->width && int(header.height) == png->height);
        png_image_free(&header);
    }

    if (png->bands != 1 && png->bands != 3)
        return 0;
    libjpeg::Output output{};
    const bool written = libjpeg::writePixels(&output, png->pixels.data(), png->width, png->height, png->bands,
                                              std::size_t(png->width) * std::size_t(png->bands), 75, nullptr, 0);
    FUZZ_CHECK(written);
    jpeg_decompress_struct back{};
    libjpeg::ErrorManager error{};
    back.err = libjpeg::useErrorManager(&error);
    if (setjmp(error.jump) == 0) {
        jpeg_create_decompress(&back);
        jpeg_mem_src(&back, output.buffer, output.size);
        jpeg_read_header(&back, TRUE);
        FUZZ_CHECK(int(back.image_width) == png->width && int(back.image_height) == png->height);
        FUZZ_CHECK(back.num_components == png->bands);
    } else {
        FUZZ_CHECK(!"libjpeg could not read the JPEG written");
    }
    jpeg_destroy_decompress(&back);
    libjpeg::closeOutput(&output);
    return 0;
}
