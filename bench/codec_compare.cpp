// codec_compare: our own codecs beside the libraries that could replace them, on the same
// decoded pictures, single-threaded: time and bytes, and outputs to compare for closeness.
//
//   codec_compare tiff  OUT_DIR FILE...   our TIFF writer (libtiff into memory, with our strip
//                                         gathering) vs libtiff writing straight to a file with
//                                         the same settings: what our layer costs
//   codec_compare gif   OUT_DIR FILE...   our GIF file writer vs cgif, from the same palette
//                                         and indices
//   codec_compare remap OUT_DIR FILE...   our error-diffusion remap vs libimagequant's
//                                         liq_write_remapped_image at the same palette; both
//                                         written as GIF to OUT_DIR/ours and OUT_DIR/liq for
//                                         bench/image_quality
// Each picture is its first frame, 8-bit sRGB, flattened on white. Prints the total seconds
// and bytes of each side.

#include "codecs/gif/GifEncoder.h"
#include "codecs/gif/PaletteChoice.h"
#include "codecs/gif/Quantize.h"
#include "codecs/gif/Remap.h"
#include "codecs/tiff/TiffWriter.h"

#include <cgif.h>
#include <libimagequant.h>
#include <tiffio.h>
#include <vips/vips8>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace quarbel::codecs;
using Clock = std::chrono::steady_clock;

namespace {

struct Side {
    double seconds = 0;
    std::uintmax_t bytes = 0;
};

double since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

vips::VImage load(const std::string& path)
{
    vips::VImage image = vips::VImage::new_from_file(path.c_str());
    if (image.get_typeof("page-height")) {
        const int page = image.get_int("page-height");
        if (page > 0 && page < image.height())
            image = image.crop(0, 0, image.width(), page);
    }
    if (image.get_typeof("orientation"))
        image = image.autorot();
    image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    if (image.has_alpha())
        image = image.flatten(vips::VImage::option()->set("background", std::vector<double>{255, 255, 255}));
    return image.cast(VIPS_FORMAT_UCHAR).copy_memory();
}

PixelView viewOf(const vips::VImage& image)
{
    return tightView(static_cast<const std::uint8_t*>(image.data()), image.width(), image.height(),
                     image.bands());
}

void save(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Plain libtiff with the settings of our writer: Adobe Deflate at level 3 after horizontal
// differencing, strips of about 1 MiB, whole strips at once, written to a file.
void writeWithLibtiff(const PixelView& view, const fs::path& path)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        throw std::runtime_error("libtiff cannot open " + path.string());
    const std::size_t stride = view.rowBytes();
    const std::uint32_t rowsPerStrip =
        std::uint32_t(std::clamp<std::size_t>((1u << 20) / stride, 1, std::size_t(view.height)));
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, std::uint32_t(view.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, std::uint32_t(view.height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, view.bands);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, view.bands >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(tiff, TIFFTAG_ZIPQUALITY, 3);
    TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    std::vector<std::uint8_t> strip(stride * rowsPerStrip);
    for (std::uint32_t top = 0, n = 0; top < std::uint32_t(view.height); top += rowsPerStrip, ++n) {
        const std::uint32_t rows = std::min(rowsPerStrip, std::uint32_t(view.height) - top);
        std::memcpy(strip.data(), view.row(int(top)), stride * rows);  // gathered as our writer does
        if (TIFFWriteEncodedStrip(tiff, n, strip.data(), tmsize_t(stride * rows)) < 0)
            throw std::runtime_error("libtiff failed on " + path.string());
    }
    TIFFClose(tiff);
}

int writeChunk(void* context, const std::uint8_t* data, const size_t size)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    out->insert(out->end(), data, data + size);
    return 0;
}

std::vector<std::uint8_t> writeWithCgif(const gif::Indexed& picture)
{
    std::vector<std::uint8_t> out;
    const quantize::Palette& palette = picture.palettes[0];
    std::vector<std::uint8_t> table(std::size_t(palette.size()) * 3, 0);
    for (std::size_t i = 0; i < palette.colours.size(); ++i)
        std::memcpy(&table[3 * (i + std::size_t(palette.first()))], palette.colours[i].data(), 3);
    CGIF_Config config{};
    config.pGlobalPalette = table.data();
    config.numGlobalPaletteEntries = std::uint16_t(palette.size());
    config.width = std::uint16_t(picture.width);
    config.height = std::uint16_t(picture.height);
    config.pWriteFn = writeChunk;
    config.pContext = &out;
    CGIF* file = cgif_newgif(&config);
    CGIF_FrameConfig frame{};
    frame.pImageData = const_cast<std::uint8_t*>(picture.indices.data());
    if (!file || cgif_addframe(file, &frame) != CGIF_OK || cgif_close(file) != CGIF_OK)
        throw std::runtime_error("cgif failed");
    return out;
}

// libimagequant's remap at exactly our palette: the palette's colours are its fixed colours
// and it may choose no others.
std::vector<std::uint8_t> remapWithLiq(const PixelView& view, const quantize::Palette& palette,
                                       quantize::Palette& liqPalette, double& seconds)
{
    std::vector<std::uint8_t> rgba(view.pixels() * 4);
    for (std::size_t i = 0; i < view.pixels(); ++i) {
        const std::uint8_t* p = view.data + i * std::size_t(view.bands);
        rgba[4 * i] = p[0];
        rgba[4 * i + 1] = view.bands >= 3 ? p[1] : p[0];
        rgba[4 * i + 2] = view.bands >= 3 ? p[2] : p[0];
        rgba[4 * i + 3] = 255;
    }
    liq_attr* attr = liq_attr_create();
    liq_set_max_colors(attr, int(palette.colours.size()));
    liq_set_speed(attr, 4);
    liq_image* image = liq_image_create_rgba(attr, rgba.data(), view.width, view.height, 0);
    for (const quantize::Rgb& c : palette.colours)
        liq_image_add_fixed_color(image, liq_color{c[0], c[1], c[2], 255});
    liq_result* result = nullptr;
    if (liq_image_quantize(image, attr, &result) != LIQ_OK)
        throw std::runtime_error("libimagequant failed");
    liq_set_dithering_level(result, 1.0f);
    std::vector<std::uint8_t> indices(view.pixels());
    const auto start = Clock::now();
    liq_write_remapped_image(result, image, indices.data(), indices.size());
    seconds += since(start);
    const liq_palette* chosen = liq_get_palette(result);
    liqPalette.colours.clear();
    for (unsigned i = 0; i < chosen->count; ++i)
        liqPalette.colours.push_back({chosen->entries[i].r, chosen->entries[i].g, chosen->entries[i].b});
    liq_result_destroy(result);
    liq_image_destroy(image);
    liq_attr_destroy(attr);
    return indices;
}

std::vector<std::uint8_t> gifOf(const PixelView& view, const quantize::Palette& palette,
                                std::vector<std::uint8_t> indices)
{
    gif::Indexed picture;
    picture.width = view.width;
    picture.height = view.height;
    picture.palettes = {palette};
    picture.indices = std::move(indices);
    picture.delays = {gif::kDefaultDelay};
    return gif::write(picture);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: codec_compare tiff|gif|remap OUT_DIR FILE...\n");
        return 2;
    }
    VIPS_INIT(argv[0]);
    vips_concurrency_set(1);
    const std::string mode = argv[1];
    const fs::path out = argv[2];
    for (const char* sub : {"ours", "other", "liq"})
        fs::create_directories(out / sub);
    Side ours, other;
    for (int i = 3; i < argc; ++i) {
        const fs::path source = argv[i];
        const vips::VImage image = load(source.string());
        const PixelView view = viewOf(image);
        const std::string stem = source.stem().string();
        if (mode == "tiff") {
            tiff::Layout layout;
            layout.width = std::uint32_t(view.width);
            layout.pageHeight = std::uint32_t(view.height);
            layout.samples = view.bands;
            auto start = Clock::now();
            const auto bytes = tiff::encode(view, layout);
            save(out / "ours" / (stem + ".tif"), bytes);
            ours.seconds += since(start);
            ours.bytes += bytes.size();
            start = Clock::now();
            writeWithLibtiff(view, out / "other" / (stem + ".tif"));
            other.seconds += since(start);
            other.bytes += fs::file_size(out / "other" / (stem + ".tif"));
        } else if (mode == "gif") {
            const gif::Indexed indexed = gif::index(view, {});
            auto start = Clock::now();
            const auto bytes = gif::write(indexed);
            ours.seconds += since(start);
            ours.bytes += bytes.size();
            save(out / "ours" / (stem + ".gif"), bytes);
            start = Clock::now();
            const auto theirs = writeWithCgif(indexed);
            other.seconds += since(start);
            other.bytes += theirs.size();
            save(out / "other" / (stem + ".gif"), theirs);
        } else if (mode == "remap") {
            quantize::Palette palette;
            palette.colours = quantize::choosePalette(view, 256);
            std::vector<std::uint8_t> indices(view.pixels());
            const auto start = Clock::now();
            quantize::remap(view, palette, indices.data());
            ours.seconds += since(start);
            const auto mine = gifOf(view, palette, std::move(indices));
            ours.bytes += mine.size();
            save(out / "ours" / (stem + ".gif"), mine);
            quantize::Palette liqPalette;
            auto theirIndices = remapWithLiq(view, palette, liqPalette, other.seconds);
            const auto theirs = gifOf(view, liqPalette, std::move(theirIndices));
            other.bytes += theirs.size();
            save(out / "liq" / (stem + ".gif"), theirs);
        } else {
            std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
            return 2;
        }
    }
    std::printf("%-6s ours  %8.2f s %12ju bytes\n", mode.c_str(), ours.seconds, ours.bytes);
    std::printf("%-6s other %8.2f s %12ju bytes\n", mode.c_str(), other.seconds, other.bytes);
    return 0;
}
