#include "codecs/png/PngReader.h"

#include <png.h>

#include <cstring>

namespace quarbel::codecs::png {

namespace {

struct Reading {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at;
    bool warned;
};

void readBytes(png_structp png, png_bytep into, png_size_t count)
{
    auto* reading = static_cast<Reading*>(png_get_io_ptr(png));
    if (count > reading->size - reading->at)
        png_error(png, "the file ends early");
    std::memcpy(into, reading->data + reading->at, count);
    reading->at += count;
}

[[noreturn]] void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void onWarning(png_structp png, png_const_charp)
{
    static_cast<Reading*>(png_get_error_ptr(png))->warned = true;
}

// Whether every chunk up to IEND lies within the file. libpng allocates what a chunk says it
// holds before reading it: an sPLT chunk that claimed 1.7 GB in a file of 117 bytes took that
// much (fuzz/regressions/plain_png-splt-claims-1.7-gb.png).
bool chunksFit(const std::uint8_t* data, std::size_t size)
{
    std::size_t at = 8;
    while (at + 12 <= size) {
        const std::size_t length = std::size_t(data[at]) << 24 | std::size_t(data[at + 1]) << 16 |
                                   std::size_t(data[at + 2]) << 8 | data[at + 3];
        if (length > size - at - 12)
            return false;
        if (std::memcmp(data + at + 4, "IEND", 4) == 0)
            return true;
        at += 12 + length;
    }
    return false;
}

bool hasXmp(png_structp png, png_infop info)
{
    png_textp text = nullptr;
    const int count = png_get_text(png, info, &text, nullptr);
    for (int i = 0; i < count; ++i)
        if (std::strcmp(text[i].key, "XML:com.adobe.xmp") == 0)
            return true;
    return false;
}

// Only plain data in this frame: libpng leaves it by longjmp on an error. The pixels go into
// the caller's vector, which outlives the jump.
bool read(png_structp png, png_infop info, PlainPng& out, std::uint64_t maxPixels)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colour, nullptr, nullptr, nullptr);
    if (depth > 8 || std::uint64_t(width) * height > maxPixels || png_get_valid(png, info, PNG_INFO_iCCP) ||
        png_get_valid(png, info, PNG_INFO_eXIf) || hasXmp(png, info))
        return false;
    int bands = (colour & PNG_COLOR_MASK_COLOR) ? 3 : 1;
    if (colour == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_tRNS_to_alpha(png);
        ++bands;
    } else if (colour & PNG_COLOR_MASK_ALPHA) {
        ++bands;
    }
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t(width) * std::size_t(bands))
        return false;
    png_uint_32 densityX = 0, densityY = 0;
    int unit = 0;
    out.hasDensity = png_get_pHYs(png, info, &densityX, &densityY, &unit) != 0;
    out.densityX = densityX;
    out.densityY = densityY;
    out.densityPerMetre = unit == PNG_RESOLUTION_METER;
    out.width = int(width);
    out.height = int(height);
    out.bands = bands;
    out.pixels.resize(std::size_t(width) * height * std::size_t(bands));
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, out.pixels.data() + std::size_t(y) * width * std::size_t(bands), nullptr);
    return true;
}

}  // namespace

std::optional<PlainPng> readPlainPng(const std::uint8_t* data, std::size_t size, std::uint64_t maxPixels)
{
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0 || !chunksFit(data, size))
        return std::nullopt;
    Reading reading{data, size, 0, false};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading, onError, onWarning);
    if (!png)
        return std::nullopt;
    png_infop info = png_create_info_struct(png);
    PlainPng out;
    bool done = false;
    if (info) {
        png_set_read_fn(png, &reading, readBytes);
        done = read(png, info, out, maxPixels) && !reading.warned;
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!done)
        return std::nullopt;
    return out;
}

}  // namespace quarbel::codecs::png
