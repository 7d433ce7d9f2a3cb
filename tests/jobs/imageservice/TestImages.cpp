#include "TestImages.h"

#include <QBuffer>
#include <QImage>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace quarbel::imageservice::testing {

using vips::VImage;

namespace {
const bool kStarted = (initialize(), true);
}

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "quarbel-imageservice-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

VImage master(int width, int height)
{
    VImage xy = VImage::xyz(width, height);
    VImage x = xy.extract_band(0), y = xy.extract_band(1);
    VImage r = x * (255.0 / std::max(1, width - 1));
    VImage g = y * (255.0 / std::max(1, height - 1));
    VImage b = (x + y) * (255.0 / std::max(1, width + height - 2));
    VImage hole = (x < width / 3) & (y < height / 3);
    VImage rgb = hole.ifthenelse(255, r.bandjoin(g).bandjoin(b));
    VImage alpha = hole.ifthenelse(0, 255);
    VImage out = rgb.bandjoin(alpha).cast(VIPS_FORMAT_UCHAR);
    return out.copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB)).copy_memory();
}

VImage opaque(const VImage& image)
{
    return image.has_alpha() ? image.extract_band(0, VImage::option()->set("n", image.bands() - 1)) : image;
}

const char* formatIdOf(Kind kind)
{
    switch (kind) {
    case Kind::Jpeg: return FormatID::JPEG;
    case Kind::Png: return FormatID::PNG;
    case Kind::Gif: return FormatID::GIF;
    case Kind::Bmp: return FormatID::BMP;
    case Kind::Tiff: return FormatID::TIFF;
    case Kind::Webp: return FormatID::WEBP;
    case Kind::Avif: return FormatID::AVIF;
    }
    return "";
}

const char* nameOf(Kind kind)
{
    switch (kind) {
    case Kind::Jpeg: return "jpeg";
    case Kind::Png: return "png";
    case Kind::Gif: return "gif";
    case Kind::Bmp: return "bmp";
    case Kind::Tiff: return "tiff";
    case Kind::Webp: return "webp";
    case Kind::Avif: return "avif";
    }
    return "";
}

bool carriesAlpha(Kind kind) { return kind != Kind::Jpeg && kind != Kind::Bmp; }

Bytes take(VipsBlob* blob)
{
    size_t length = 0;
    const auto* data = static_cast<const std::uint8_t*>(vips_blob_get(blob, &length));
    Bytes out(data, data + length);
    vips_area_unref(VIPS_AREA(blob));
    return out;
}

Bytes animatedGif(const std::vector<int>& delays, int loop)
{
    std::vector<VImage> frames;
    for (double grey : {30.0, 140.0, 250.0})
        frames.push_back(VImage::black(20, 10, VImage::option()->set("bands", 3)) +
                         std::vector<double>{grey, 255 - grey, 90});
    VImage strip = VImage::arrayjoin(frames, VImage::option()->set("across", 1))
                       .cast(VIPS_FORMAT_UCHAR)
                       .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    strip.set("page-height", 10);
    strip.set("delay", delays);
    if (loop != 0)
        strip.set("loop", loop);
    return take(strip.gifsave_buffer());
}

namespace {

Bytes qtBmp(const VImage& rgb)
{
    VImage image = rgb.copy_memory();
    QImage q(image.width(), image.height(), QImage::Format_RGB888);
    const auto* pixels = static_cast<const std::uint8_t*>(image.data());
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(q.scanLine(y), pixels + std::size_t(y) * image.width() * 3,
                    std::size_t(image.width()) * 3);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!q.save(&buffer, "BMP"))
        throw std::runtime_error("Qt could not write a BMP file");
    return Bytes(bytes.begin(), bytes.end());
}

}  // namespace

Bytes jpegBytes(const VImage& image, int quality)
{
    return take(image.jpegsave_buffer(VImage::option()->set("Q", quality)));
}

Bytes turnedJpeg(int width, int height, int orientation)
{
    VImage stored = opaque(master(width, height)).copy();
    stored.set("orientation", orientation);
    return jpegBytes(stored);
}

Bytes encodeMaster(Kind kind, int width, int height)
{
    VImage image = master(width, height);
    switch (kind) {
    case Kind::Jpeg: return jpegBytes(opaque(image));
    case Kind::Png: return take(image.pngsave_buffer());
    case Kind::Gif: return take(image.gifsave_buffer());
    case Kind::Bmp: return qtBmp(opaque(image));
    case Kind::Tiff:
        return take(image.tiffsave_buffer(
            VImage::option()->set("tile", true)->set("tile_width", 32)->set("tile_height", 32)));
    case Kind::Webp: return take(image.webpsave_buffer(VImage::option()->set("Q", 90)));
    case Kind::Avif:
        return take(image.heifsave_buffer(VImage::option()
                                              ->set("Q", 90)
                                              ->set("compression", VIPS_FOREIGN_HEIF_COMPRESSION_AV1)
                                              ->set("effort", 0)));
    }
    return {};
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

VImage decodeIndependently(const Bytes& bytes, bool allFrames)
{
    if (bytes.size() > 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        QImage q =
            QImage::fromData(bytes.data(), int(bytes.size()), "BMP").convertToFormat(QImage::Format_RGB888);
        if (q.isNull())
            throw std::runtime_error("Qt cannot read the BMP file");
        std::vector<std::uint8_t> rows(std::size_t(q.width()) * q.height() * 3);
        for (int y = 0; y < q.height(); ++y)
            std::memcpy(rows.data() + std::size_t(y) * q.width() * 3, q.constScanLine(y),
                        std::size_t(q.width()) * 3);
        return VImage::new_from_memory(rows.data(), rows.size(), q.width(), q.height(), 3, VIPS_FORMAT_UCHAR)
            .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB))
            .copy_memory();
    }
    const bool multiFrame =
        bytes.size() > 3 && (bytes[0] == 'G' || bytes[0] == 'I' || bytes[0] == 'M' || bytes[0] == 'R');
    return VImage::new_from_buffer(bytes.data(), bytes.size(), allFrames && multiFrame ? "n=-1" : "")
        .copy_memory();
}

namespace {

VImage comparable(VImage image)
{
    if (image.has_alpha())
        image =
            image.flatten(VImage::option()->set("background", std::vector<double>(image.bands() - 1, 255.0)));
    if (image.bands() == 1)
        image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    return image.cast(VIPS_FORMAT_UCHAR);
}

}  // namespace

double meanDifference(VImage a, VImage b)
{
    a = comparable(a);
    b = comparable(b);
    if (a.width() != b.width() || a.height() != b.height())
        throw std::runtime_error("sizes differ");
    return (a.cast(VIPS_FORMAT_FLOAT) - b.cast(VIPS_FORMAT_FLOAT)).abs().avg();
}

std::vector<double> pixelAt(const VImage& image, int x, int y) { return image.getpoint(x, y); }

Result convert(const std::string& path, Kind target, ImageFile& out, const std::string& quality)
{
    ImageFile in;
    if (auto r = in.LoadFile(path); !r)
        return r;
    ImageProcess process;
    process.Filters().Add(process.FilterInfos("Convert").FilterID(), 0);
    process.Filters()(1).Properties("FormatID").Value = std::string(formatIdOf(target));
    if (!quality.empty())
        process.Filters()(1).Properties("Quality").Value = quality;
    return process.Apply(in, out);
}

Result scale(const std::string& path, const std::string& width, const std::string& height, ImageFile& out)
{
    ImageFile in;
    if (auto r = in.LoadFile(path); !r)
        return r;
    ImageProcess process;
    process.Filters().Add(process.FilterInfos("Scale").FilterID(), 0);
    process.Filters()(1).Properties("PreserveAspectRatio").Value = false;
    process.Filters()(1).Properties("MaximumWidth").Value = width;
    process.Filters()(1).Properties("MaximumHeight").Value = height;
    return process.Apply(in, out);
}

}  // namespace quarbel::imageservice::testing
