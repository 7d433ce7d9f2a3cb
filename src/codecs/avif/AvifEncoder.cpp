#include "codecs/avif/AvifEncoder.h"

#include "codecs/avif/EncodeGate.h"
#include "codecs/exif/Exif.h"

#include <avif/avif.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <thread>

namespace quarbel::codecs::avif {

namespace {

// aom's speed (cpu-used 0 slowest .. 9 fastest). A 12-megapixel photo at quality 75 through
// libheif, which runs aom at 9 minus its effort (seconds on the shared 2-core machine):
//   speed 9: 3.1 s, 47.45 dB, 1.64 MB   8: 5.5 s, 47.53 dB   7: 8.5 s, 47.61 dB
//   6: 14.6 s, 47.70 dB, 1.69 MB
// Each step buys less than a tenth of a decibel for another few seconds a picture.
constexpr int kSpeed = 9;
constexpr int kLargestSide = 65536;  // AV1's frame size field
constexpr int kMostThreads = 64;     // aom refuses more

// "JPEG Quality" 1..100 as aom's constant-quality level 63..0 (libheif's mapping, which
// earlier files of ours were written with).
int cqLevelOf(int quality)
{
    quality = std::clamp(quality, 1, 100);
    return ((100 - quality) * 63 + 50) / 100;
}

std::string reasonOf(avifResult result, const avifDiagnostics& diag)
{
    std::string reason = avifResultToString(result);
    if (diag.error[0])
        reason += std::string(" (") + diag.error + ")";
    return reason;
}

void check(avifResult result, const char* step, const avifDiagnostics* diag = nullptr)
{
    if (result == AVIF_RESULT_OK)
        return;
    if (result == AVIF_RESULT_OUT_OF_MEMORY)
        throw std::bad_alloc();
    avifDiagnostics none{};
    throw Failure(std::string("the AVIF file could not be written: ") + step + ": " +
                  reasonOf(result, diag ? *diag : none));
}

// Grey samples need no conversion: with R = G = B the BT.601 matrix gives Y = grey and
// neutral chroma.
void fromGrey(avifImage* image, const PixelView& picture, const CancelToken* cancel)
{
    check(avifImageAllocatePlanes(image, picture.hasAlpha() ? AVIF_PLANES_ALL : AVIF_PLANES_YUV), "planes");
    for (int y = 0; y < picture.height; ++y) {
        if ((y & 255) == 0)
            checkCancel(cancel);
        const std::uint8_t* in = picture.row(y);
        std::uint8_t* luma = image->yuvPlanes[AVIF_CHAN_Y] + std::size_t(y) * image->yuvRowBytes[AVIF_CHAN_Y];
        std::uint8_t* alpha =
            picture.hasAlpha() ? image->alphaPlane + std::size_t(y) * image->alphaRowBytes : nullptr;
        for (int x = 0; x < picture.width; ++x) {
            luma[x] = in[x * picture.bands];
            if (alpha)
                alpha[x] = in[x * picture.bands + 1];
        }
    }
    const std::uint32_t chromaHeight = (image->height + 1) / 2;
    for (int plane : {AVIF_CHAN_U, AVIF_CHAN_V})
        std::memset(image->yuvPlanes[plane], 128, std::size_t(image->yuvRowBytes[plane]) * chromaHeight);
}

void fromColour(avifImage* image, const PixelView& picture)
{
    if (picture.stride > std::numeric_limits<std::uint32_t>::max())
        throw Failure("the picture is too wide for an AVIF file");
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, image);
    rgb.format = picture.hasAlpha() ? AVIF_RGB_FORMAT_RGBA : AVIF_RGB_FORMAT_RGB;
    rgb.pixels = const_cast<std::uint8_t*>(picture.data);  // only read
    rgb.rowBytes = std::uint32_t(picture.stride);
    // libyuv's conversion is faster but coarse: 1.5 dB less on some photos and screenshots
    // of the benchmark's corpus (photo17.jpg 44.09 against 45.89 dB, shot02.png 45.05
    // against 46.52 dB) for files no smaller.
    rgb.avoidLibYUV = AVIF_TRUE;
    check(avifImageRGBToYUV(image, &rgb), "colour conversion");
}

bool describesRgb(const Bytes& profile)
{
    return profile.size() >= 20 && std::memcmp(&profile[16], "RGB ", 4) == 0;
}

struct EncoderFree {
    void operator()(avifEncoder* encoder) const { avifEncoderDestroy(encoder); }
};

struct ImageFree {
    void operator()(avifImage* image) const { avifImageDestroy(image); }
};
using Image = std::unique_ptr<avifImage, ImageFree>;

struct Grid {
    int columns = 1;
    int rows = 1;
    int cellWidth = 0;
    int cellHeight = 0;

    int cells() const { return columns * rows; }
};

constexpr int kSmallestCellSide = 64;  // MIAF's least tile size
constexpr int kMostCellsASide = 256;   // libavif's limit

int evenCeil(int value, int parts)
{
    const int share = (value + parts - 1) / parts;
    return share + (share & 1);
}

// The fewest cells of at most `largest` pixels that cover the picture, the squarest of
// equals. Cells are even-sized for 4:2:0 and the last column and row are cut to the picture.
// One cell when the picture fits, or when its width or height is odd: MIAF allows no grid of
// subsampled cells then.
Grid gridFor(int width, int height, std::int64_t largest)
{
    Grid best{1, 1, width, height};
    if (std::int64_t(width) * height <= largest || (width & 1) || (height & 1))
        return best;
    std::int64_t bestCells = std::numeric_limits<std::int64_t>::max();
    int bestSkew = std::numeric_limits<int>::max();
    for (int columns = 1; columns <= kMostCellsASide; ++columns) {
        const int cellWidth = evenCeil(width, columns);
        if (width - (columns - 1) * cellWidth < kSmallestCellSide)
            continue;  // the last column would be narrower than a cell may be
        for (int rows = 1; rows <= kMostCellsASide && columns * rows <= bestCells; ++rows) {
            const int cellHeight = evenCeil(height, rows);
            if (height - (rows - 1) * cellHeight < kSmallestCellSide)
                continue;
            if (std::int64_t(cellWidth) * cellHeight > largest)
                continue;
            const int skew = std::abs(cellWidth - cellHeight);
            if (columns * rows < bestCells || skew < bestSkew) {
                best = {columns, rows, cellWidth, cellHeight};
                bestCells = columns * rows;
                bestSkew = skew;
            }
            break;  // more rows only make more cells
        }
    }
    return best;
}

// The cells of the grid as views of the picture's planes: no pixel is copied.
std::vector<Image> cellsOf(const avifImage* image, const Grid& grid)
{
    std::vector<Image> cells;
    for (int row = 0; row < grid.rows; ++row)
        for (int column = 0; column < grid.columns; ++column) {
            const std::uint32_t x = std::uint32_t(column * grid.cellWidth);
            const std::uint32_t y = std::uint32_t(row * grid.cellHeight);
            Image cell(avifImageCreate(std::min(std::uint32_t(grid.cellWidth), image->width - x),
                                       std::min(std::uint32_t(grid.cellHeight), image->height - y), 8,
                                       AVIF_PIXEL_FORMAT_YUV420));
            if (!cell)
                throw std::bad_alloc();
            cell->yuvRange = image->yuvRange;
            cell->colorPrimaries = image->colorPrimaries;
            cell->transferCharacteristics = image->transferCharacteristics;
            cell->matrixCoefficients = image->matrixCoefficients;
            cell->imageOwnsYUVPlanes = AVIF_FALSE;
            cell->yuvPlanes[AVIF_CHAN_Y] =
                image->yuvPlanes[AVIF_CHAN_Y] + std::size_t(y) * image->yuvRowBytes[AVIF_CHAN_Y] + x;
            cell->yuvRowBytes[AVIF_CHAN_Y] = image->yuvRowBytes[AVIF_CHAN_Y];
            for (int plane : {AVIF_CHAN_U, AVIF_CHAN_V}) {
                cell->yuvPlanes[plane] =
                    image->yuvPlanes[plane] + std::size_t(y / 2) * image->yuvRowBytes[plane] + x / 2;
                cell->yuvRowBytes[plane] = image->yuvRowBytes[plane];
            }
            if (image->alphaPlane) {
                cell->imageOwnsAlphaPlane = AVIF_FALSE;
                cell->alphaPlane = image->alphaPlane + std::size_t(y) * image->alphaRowBytes + x;
                cell->alphaRowBytes = image->alphaRowBytes;
            }
            cells.push_back(std::move(cell));
        }
    return cells;
}

}  // namespace

void Yuv::Free::operator()(avifImage* image) const { avifImageDestroy(image); }

Yuv::Yuv() = default;
Yuv::~Yuv() = default;
Yuv::Yuv(Yuv&&) noexcept = default;
Yuv& Yuv::operator=(Yuv&&) noexcept = default;

Yuv toYuv(const PixelView& picture, const CancelToken* cancel)
{
    if (!picture.data || picture.bands < 1 || picture.bands > 4 || picture.width < 1 || picture.height < 1 ||
        picture.stride < picture.rowBytes())
        throw Failure("internal error: AVIF output needs 8-bit pixels, 1 to 4 bands");
    if (picture.width > kLargestSide || picture.height > kLargestSide)
        throw Failure("an AVIF file cannot hold a picture of " + std::to_string(picture.width) + " x " +
                      std::to_string(picture.height) + " pixels");
    checkCancel(cancel);
    Yuv yuv;
    yuv.m_image.reset(avifImageCreate(std::uint32_t(picture.width), std::uint32_t(picture.height), 8,
                                      AVIF_PIXEL_FORMAT_YUV420));
    if (!yuv.m_image)
        throw std::bad_alloc();
    avifImage* image = yuv.m_image.get();
    image->yuvRange = AVIF_RANGE_FULL;
    image->colorPrimaries = AVIF_COLOR_PRIMARIES_UNSPECIFIED;
    image->transferCharacteristics = AVIF_TRANSFER_CHARACTERISTICS_UNSPECIFIED;
    image->matrixCoefficients = AVIF_MATRIX_COEFFICIENTS_BT601;
    if (picture.bands >= 3)
        fromColour(image, picture);
    else
        fromGrey(image, picture, cancel);
    checkCancel(cancel);
    return yuv;
}

Bytes encode(Yuv picture, const Options& options, const CancelToken* cancel)
{
    avifImage* image = picture.image();
    if (!image || !image->yuvPlanes[AVIF_CHAN_Y])
        throw Failure("internal error: no picture to write as AVIF");
    const Grid grid = gridFor(int(image->width), int(image->height), options.largestCell);
    const std::vector<Image> cells = grid.cells() > 1 ? cellsOf(image, grid) : std::vector<Image>();
    // libavif takes a grid's properties and metadata from its first cell.
    avifImage* head = cells.empty() ? image : cells.front().get();
    if (describesRgb(options.profile))
        avifImageSetProfileICC(head, options.profile.data(), options.profile.size());
    if (options.metadata.exif) {
        // Written as it describes the picture (orientation 1 once turned); libavif reads the
        // orientation from it, which then asks for no turn of its own.
        const Bytes exif = exif::encode(*options.metadata.exif);
        avifImageSetMetadataExif(head, exif.data(), exif.size());
    }
    if (!options.metadata.xmp.empty())
        avifImageSetMetadataXMP(head, options.metadata.xmp.data(), options.metadata.xmp.size());

    std::unique_ptr<avifEncoder, EncoderFree> encoder(avifEncoderCreate());
    if (!encoder)
        throw std::bad_alloc();
    encoder->codecChoice = AVIF_CODEC_CHOICE_AOM;
    encoder->maxThreads = options.threads > 0
                              ? options.threads
                              : std::clamp(int(std::thread::hardware_concurrency()), 1, kMostThreads);
    encoder->speed = kSpeed;
    encoder->minQuantizer = encoder->minQuantizerAlpha = AVIF_QUANTIZER_BEST_QUALITY;
    encoder->maxQuantizer = encoder->maxQuantizerAlpha = AVIF_QUANTIZER_WORST_QUALITY;
    const std::string level = std::to_string(cqLevelOf(options.quality));
    avifEncoderSetCodecSpecificOption(encoder.get(), "end-usage", "q");  // colour and alpha alike
    avifEncoderSetCodecSpecificOption(encoder.get(), "cq-level", level.c_str());

    avifRWData output = AVIF_DATA_EMPTY;
    avifResult result;
    {
        const EncodeGate gate;
        checkCancel(cancel);
        // aom offers no way to stop an encode part-way: a cancel waits for this picture.
        if (cells.empty()) {
            result = avifEncoderWrite(encoder.get(), image, &output);
        } else {
            std::vector<const avifImage*> views;
            for (const Image& cell : cells)
                views.push_back(cell.get());
            result =
                avifEncoderAddImageGrid(encoder.get(), std::uint32_t(grid.columns), std::uint32_t(grid.rows),
                                        views.data(), AVIF_ADD_IMAGE_FLAG_SINGLE);
            if (result == AVIF_RESULT_OK)
                result = avifEncoderFinish(encoder.get(), &output);
        }
    }
    picture = Yuv();
    const avifDiagnostics diag = encoder->diag;
    encoder.reset();
    if (result != AVIF_RESULT_OK) {
        avifRWDataFree(&output);
        check(result, "encoding", &diag);
    }
    Bytes file;
    try {
        file.assign(output.data, output.data + output.size);
    } catch (...) {
        avifRWDataFree(&output);
        throw;
    }
    avifRWDataFree(&output);
    checkCancel(cancel);
    return file;
}

}  // namespace quarbel::codecs::avif
