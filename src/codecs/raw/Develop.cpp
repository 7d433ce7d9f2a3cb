// Camera raw files through LibRaw (the thread-safe libraw_r), from the file's bytes in memory.
//
// Each call opens the file (LibRaw reads the buffer where it is) and checks the picture's
// size against the limit before LibRaw allocates anything for the pixels. The development is
// LibRaw's own: black and white levels and the camera's colour matrix from the file, the
// white balance the camera recorded, AHD demosaicing (ours, Ahd.h, which gives LibRaw's
// pixels faster), sRGB output.
//
// LibRaw's AHD spread over every core (OpenMP), but the passes around it ran on one: the
// scaling of the raw values, the camera-to-sRGB matrix and the 8-bit copy. With three
// 24-megapixel DNGs on two workers, the third developed while the other core waited. The
// first two are the virtual hotspots LibRaw leaves to its subclasses; Developer runs them over
// bands of rows on a thread each, the same arithmetic pixel for pixel. The 8-bit copy is ours,
// with LibRaw's tone curve at the brightness its own copy chooses; the test compares the
// result with LibRaw's byte for byte.
//
// Memory: LibRaw holds the raw data (2 bytes a pixel) and develops into a picture of four
// 16-bit samples a pixel. The raw data is freed once developed, and the 8-bit pixels are
// written over the start of LibRaw's picture, which is then shrunk to them, instead of into
// a third buffer: for 24 megapixels the peak is about 48 + 192 MB, and the encoder runs with
// 72 MB. Writing over its own input is safe for the first band of rows, because the copy
// walks it in order and an 8-bit pixel (3 bytes) never reaches the 16-bit pixel (8 bytes) it
// comes from; the other bands go to a buffer of their own (36 MB on two cores) and are moved
// into place once the first is done. That holds only unturned, so LibRaw does not turn the
// picture: the caller does, from the orientation it is given.

#include "codecs/Failure.h"
#include "codecs/raw/Ahd.h"
#include "codecs/raw/Bands.h"
#include "codecs/raw/CameraRaw.h"
#include "codecs/raw/RawExif.h"

#include <libraw/libraw.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace quarbel::codecs::raw {

namespace {

// LibRaw's flip (bit 2: transpose, bit 1: flip rows, bit 0: flip columns) as EXIF orientation.
int orientationOfFlip(int flip)
{
    static constexpr int kOrientation[8] = {1, 2, 4, 3, 5, 8, 6, 7};
    return kOrientation[flip & 7];
}

void checked(int code, const char* step)
{
    if (code == LIBRAW_SUCCESS)
        return;
    switch (code) {
    case LIBRAW_UNSUFFICIENT_MEMORY: throw std::bad_alloc();
    case LIBRAW_FILE_UNSUPPORTED:
        throw Failure("not a camera raw file LibRaw can read (an unknown camera or a damaged file)");
    case LIBRAW_IO_ERROR:
    case LIBRAW_DATA_ERROR:
        throw Failure(std::string("the camera raw file is truncated or damaged (") + step + ": " +
                      libraw_strerror(code) + ")");
    case LIBRAW_TOO_BIG: throw Failure("the camera raw picture is too large for LibRaw");
    default:
        throw Failure(std::string("LibRaw failed ") + step +
                      " the camera raw file: " + libraw_strerror(code));
    }
}

// LibRaw with what its interface lacks: the raw data freed early, its two per-pixel passes
// on several threads, its AHD demosaicing replaced by a faster one with the same result
// (Ahd.h), and an 8-bit copy on several threads in its own buffer.
class Developer : public LibRaw {
public:
    explicit Developer(int threads) : LibRaw(LIBRAW_OPTIONS_NONE), m_threads(threads)
    {
        callbacks.interpolate_bayer_cb = &Developer::interpolateBayer;
    }

    void dropRawData()
    {
        libraw_rawdata_t& raw = imgdata.rawdata;
        if (raw.raw_alloc)
            free(raw.raw_alloc);
        raw.raw_alloc = nullptr;
        raw.raw_image = nullptr;
        raw.color3_image = nullptr;
        raw.color4_image = nullptr;
        raw.float_image = nullptr;
        raw.float3_image = nullptr;
        raw.float4_image = nullptr;
    }

    // The developed picture at 8 bits, `colours` bytes a pixel, in LibRaw's own buffer, which
    // lives as long as this object. Needs an unturned picture (flip 0).
    std::uint8_t* eightBitInPlace(int width, int height, int colours)
    {
        auto* pixels = reinterpret_cast<std::uint8_t*>(imgdata.image);
        const std::size_t row = std::size_t(width) * colours;
        if (!pixels || imgdata.sizes.flip != 0 || width != imgdata.sizes.width ||
            height != imgdata.sizes.height || colours < 1 || colours > 4 ||
            std::size_t(width) * height > std::size_t(imgdata.sizes.iwidth) * imgdata.sizes.iheight)
            throw Failure("the camera raw picture could not be developed");
        const std::array<std::uint8_t, 65536> curve = toneCurve();
        const int bands = std::clamp(m_threads, 1, std::max(height, 1));
        const std::size_t firstRows = std::size_t(height) / bands;
        std::vector<std::uint8_t> rest((std::size_t(height) - firstRows) * row);
        const ushort(*image)[4] = imgdata.image;
        inBands(std::size_t(height), bands, [&](std::size_t first, std::size_t last, int band) {
            std::uint8_t* out = band == 0 ? pixels : rest.data() + (first - firstRows) * row;
            for (std::size_t i = first * width; i < last * width; ++i)
                for (int k = 0; k < colours; ++k)
                    *out++ = curve[image[i][k]];
        });
        std::copy(rest.begin(), rest.end(), pixels + firstRows * row);
        rest = {};
        if (void* smaller = realloc(pixels, row * height))
            imgdata.image = static_cast<ushort(*)[4]>(smaller);
        return reinterpret_cast<std::uint8_t*>(imgdata.image);
    }

protected:
    // Each case in a loop of its own, as LibRaw has it: a test inside the loop made this
    // pass a third slower than LibRaw's.
    void scale_colors_loop(float scale_mul[4]) override
    {
        const auto& c = imgdata.color;
        const std::size_t width = imgdata.sizes.iwidth;
        const std::size_t size = width * imgdata.sizes.iheight;
        ushort(*const image)[4] = imgdata.image;
        const float mul[4] = {scale_mul[0], scale_mul[1], scale_mul[2], scale_mul[3]};
        inBands(size, m_threads, [&](std::size_t first, std::size_t last, int) {
            if (c.cblack[4] && c.cblack[5]) {
                for (std::size_t i = first; i < last; ++i)
                    for (unsigned k = 0; k < 4; ++k) {
                        int val = image[i][k];
                        if (!val)
                            continue;
                        val -= c.cblack[6 + i / width % c.cblack[4] * c.cblack[5] + i % width % c.cblack[5]];
                        val -= c.cblack[k];
                        val *= mul[k];
                        image[i][k] = ushort(std::clamp(val, 0, 65535));
                    }
            } else if (c.cblack[0] || c.cblack[1] || c.cblack[2] || c.cblack[3]) {
                for (std::size_t i = first; i < last; ++i)
                    for (unsigned k = 0; k < 4; ++k) {
                        int val = image[i][k];
                        if (!val)
                            continue;
                        val -= c.cblack[k];
                        val *= mul[k];
                        image[i][k] = ushort(std::clamp(val, 0, 65535));
                    }
            } else {
                for (std::size_t i = first; i < last; ++i)
                    for (unsigned k = 0; k < 4; ++k) {
                        int val = image[i][k];
                        val *= mul[k];
                        image[i][k] = ushort(std::clamp(val, 0, 65535));
                    }
            }
        });
    }

    // The matrix (not for raw colour) and the histogram of the result, which the tone curve
    // reads: one histogram a band, added up after. Three and four colours in loops of their
    // own, like the cases of the scaling above: one loop over the colour count known to the
    // compiler took a quarter more time here (perf: 1,849 samples against 1,460).
    void convert_to_rgb_loop(float out_cam[3][4]) override
    {
        const int colours = imgdata.idata.colors;
        const bool rawColour = libraw_internal_data.internal_output_params.raw_color;
        const std::size_t width = imgdata.sizes.width;
        ushort(*const image)[4] = imgdata.image;
        float m[3][4];
        std::copy(&out_cam[0][0], &out_cam[0][0] + 12, &m[0][0]);
        constexpr std::size_t kSize = LIBRAW_HISTOGRAM_SIZE;
        std::vector<std::vector<int>> counts(std::size_t(std::max(m_threads, 1)));
        inBands(imgdata.sizes.height, m_threads, [&](std::size_t first, std::size_t last, int band) {
            std::vector<int>& count = counts[band];
            count.assign(4 * kSize, 0);
            int* h[4] = {&count[0], &count[kSize], &count[2 * kSize], &count[3 * kSize]};
            const std::size_t end = last * width;
            if (rawColour) {
                for (std::size_t i = first * width; i < end; ++i)
                    for (int k = 0; k < colours; ++k)
                        ++h[k][image[i][k] >> 3];
            } else if (colours == 3) {
                for (std::size_t i = first * width; i < end; ++i) {
                    ushort* img = image[i];
                    const float r = m[0][0] * img[0] + m[0][1] * img[1] + m[0][2] * img[2];
                    const float g = m[1][0] * img[0] + m[1][1] * img[1] + m[1][2] * img[2];
                    const float b = m[2][0] * img[0] + m[2][1] * img[1] + m[2][2] * img[2];
                    img[0] = ushort(std::clamp(int(r), 0, 65535));
                    img[1] = ushort(std::clamp(int(g), 0, 65535));
                    img[2] = ushort(std::clamp(int(b), 0, 65535));
                    ++h[0][img[0] >> 3];
                    ++h[1][img[1] >> 3];
                    ++h[2][img[2] >> 3];
                }
            } else if (colours == 4) {
                for (std::size_t i = first * width; i < end; ++i) {
                    ushort* img = image[i];
                    const float r = m[0][0] * img[0] + m[0][1] * img[1] + m[0][2] * img[2] + m[0][3] * img[3];
                    const float g = m[1][0] * img[0] + m[1][1] * img[1] + m[1][2] * img[2] + m[1][3] * img[3];
                    const float b = m[2][0] * img[0] + m[2][1] * img[1] + m[2][2] * img[2] + m[2][3] * img[3];
                    img[0] = ushort(std::clamp(int(r), 0, 65535));
                    img[1] = ushort(std::clamp(int(g), 0, 65535));
                    img[2] = ushort(std::clamp(int(b), 0, 65535));
                    ++h[0][img[0] >> 3];
                    ++h[1][img[1] >> 3];
                    ++h[2][img[2] >> 3];
                    ++h[3][img[3] >> 3];
                }
            }
        });
        auto* histogram = libraw_internal_data.output_data.histogram;
        for (std::size_t k = 0; k < 4; ++k)
            for (std::size_t v = 0; v < kSize; ++v) {
                int total = 0;
                for (const std::vector<int>& count : counts)
                    total += count.empty() ? 0 : count[k * kSize + v];
                histogram[k][v] = total;
            }
    }

private:
    // In place of LibRaw's choice of demosaicing for a Bayer mosaic; only AHD is asked for.
    static void interpolateBayer(void* self) { static_cast<Developer*>(static_cast<LibRaw*>(self))->ahd(); }
    void ahd()
    {
        // Four-colour cameras take VNG, as in LibRaw; so does a three-colour file whose
        // pattern names a fourth, which LibRaw's AHD would read past each pixel for.
        const BayerMosaic mosaic{imgdata.image, imgdata.sizes.width, imgdata.sizes.height, imgdata.idata.filters};
        LabConversion lab;
        if (imgdata.idata.colors == 3 && threeColourPattern(mosaic.filters)) {
            cielab(nullptr, nullptr);  // LibRaw's table and matrix, as its AHD would use them
            lab.cubeRoot = tls->ahd_data.cbrt;
            std::copy(&tls->ahd_data.xyz_cam[0][0], &tls->ahd_data.xyz_cam[0][0] + 12, &lab.xyzFromCamera[0][0]);
            border_interpolate(5);
            interpolateAhd(mosaic, lab, m_threads);
            return;
        }
        vng_interpolate();
    }

    // What each 16-bit sample becomes at 8 bits: LibRaw's gamma curve with the brightness its
    // own copy would choose (the level that all but auto_bright_thr of the pixels stay below).
    std::array<std::uint8_t, 65536> toneCurve()
    {
        const auto& o = imgdata.params;
        if (auto* histogram = libraw_internal_data.output_data.histogram) {
            int white = 0x2000;
            int perc = imgdata.sizes.width * imgdata.sizes.height * o.auto_bright_thr;
            if (libraw_internal_data.internal_output_params.fuji_width)
                perc /= 2;
            if (!((o.highlight & ~2) || o.no_auto_bright)) {
                white = 0;
                for (int c = 0; c < imgdata.idata.colors; ++c) {
                    int val = 0x2000, total = 0;
                    while (--val > 32)
                        if ((total += histogram[c][val]) > perc)
                            break;
                    white = std::max(white, val);
                }
            }
            gamma_curve(o.gamm[0], o.gamm[1], 2, (white << 3) / o.bright);
        }
        std::array<std::uint8_t, 65536> curve;
        for (std::size_t v = 0; v < curve.size(); ++v)
            curve[v] = std::uint8_t(imgdata.color.curve[v] >> 8);
        return curve;
    }

    int m_threads;
};

// One LibRaw object on the heap (it is several hundred kilobytes) with a file open, its
// size checked, and its complaints about damaged data counted instead of printed.
class OpenRaw {
public:
    OpenRaw(std::span<const std::uint8_t> bytes, const Limits& limits)
    {
        if (limits.trust != Trust::Confined)
            throw Failure("camera raw files are only decoded in a worker process");
        const int cores = int(std::thread::hardware_concurrency());
        m_raw = std::make_shared<Developer>(limits.threads > 0 ? limits.threads : std::max(cores, 1));
        m_raw->set_dataerror_handler(&OpenRaw::noteDataError, this);
        // LibRaw never writes into the buffer it reads from.
        checked(m_raw->open_buffer(const_cast<std::uint8_t*>(bytes.data()), bytes.size()), "opening");
        const auto& sizes = m_raw->imgdata.sizes;
        if (sizes.raw_width == 0 || sizes.raw_height == 0 || sizes.width == 0 || sizes.height == 0)
            throw Failure("the camera raw file holds no picture");
        const std::uint64_t stored = std::uint64_t(sizes.raw_width) * sizes.raw_height;
        const std::uint64_t shown = std::uint64_t(sizes.width) * sizes.height;
        if (std::max(stored, shown) > limits.maxPixels)
            throw Failure("the picture is larger than " + std::to_string(limits.maxPixels) + " pixels (" +
                          std::to_string(sizes.raw_width) + " x " + std::to_string(sizes.raw_height) + ")");
    }
    // A picture handed out keeps the LibRaw object; it must no longer call back here.
    ~OpenRaw() { m_raw->set_dataerror_handler(nullptr, nullptr); }
    OpenRaw(const OpenRaw&) = delete;
    OpenRaw& operator=(const OpenRaw&) = delete;

    Developer& operator*() const { return *m_raw; }
    Developer* operator->() const { return m_raw.get(); }
    std::shared_ptr<Developer> share() const { return m_raw; }

    bool damaged() const { return m_dataErrors > 0 || m_raw->error_count() > 0; }
    void checkData(const char* step) const
    {
        if (damaged())
            throw Failure(std::string("the camera raw file is truncated or damaged (") + step + ")");
    }

    // The developed picture's size, upright, at full size. LibRaw's info-only adjustment
    // leaves the file unfit for unpacking, so only calls that unpack nothing ask for it.
    std::pair<int, int> uprightSizeInfoOnly() const
    {
        checked(m_raw->adjust_sizes_info_only(), "measuring");
        return {m_raw->imgdata.sizes.iwidth, m_raw->imgdata.sizes.iheight};
    }

private:
    static void noteDataError(void* self, const char*, const int)
    {
        ++static_cast<OpenRaw*>(self)->m_dataErrors;
    }

    std::shared_ptr<Developer> m_raw;
    int m_dataErrors = 0;
};

// LibRaw's own exceptions stay inside its calls; anything else that escapes becomes a
// failure here, so callers see only Failure and std::bad_alloc.
template <typename Work>
auto guarded(Work&& work)
{
    try {
        return work();
    } catch (const Failure&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        throw Failure(std::string("the camera raw file could not be read: ") + e.what());
    } catch (...) {
        throw Failure("the camera raw file could not be read");
    }
}

std::string textOf(const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); }

CameraFacts factsOf(const LibRaw& raw)
{
    const auto& identity = raw.imgdata.idata;
    const auto& other = raw.imgdata.other;
    CameraFacts facts;
    facts.make = textOf(identity.make, sizeof identity.make);
    facts.model = textOf(identity.model, sizeof identity.model);
    facts.taken = other.timestamp;
    facts.exposureSeconds = other.shutter;
    facts.fNumber = other.aperture;
    facts.iso = other.iso_speed;
    facts.focalLengthMm = other.focal_len;
    const libraw_gps_info_t& gps = other.parsed_gps;
    if (gps.gpsparsed && (gps.latref == 'N' || gps.latref == 'S') &&
        (gps.longref == 'E' || gps.longref == 'W')) {
        GpsPosition position;
        std::copy(std::begin(gps.latitude), std::end(gps.latitude), position.latitude.begin());
        std::copy(std::begin(gps.longitude), std::end(gps.longitude), position.longitude.begin());
        position.latitudeRef = gps.latref;
        position.longitudeRef = gps.longref;
        if (gps.altitude != 0) {
            position.altitude = gps.altitude;
            position.belowSeaLevel = gps.altref == 1;
        }
        facts.gps = position;
    }
    return facts;
}

std::vector<std::uint8_t> greyToRgb(const std::uint8_t* grey, std::size_t pixels)
{
    std::vector<std::uint8_t> rgb(pixels * 3);
    for (std::size_t i = 0; i < pixels; ++i)
        rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = grey[i];
    return rgb;
}

}  // namespace

Header readHeader(std::span<const std::uint8_t> bytes, const Limits& limits)
{
    return guarded([&] {
        OpenRaw raw(bytes, limits);
        Header header;
        header.orientation = orientationOfFlip(raw->imgdata.sizes.flip);
        const auto [width, height] = raw.uprightSizeInfoOnly();
        header.width = header.turned() ? height : width;
        header.height = header.turned() ? width : height;
        return header;
    });
}

Picture develop(std::span<const std::uint8_t> bytes, const Limits& limits, Size size)
{
    return guarded([&] {
        OpenRaw raw(bytes, limits);
        auto& params = raw->imgdata.params;
        params.use_camera_wb = 1;
        params.output_color = 1;  // sRGB
        params.output_bps = 8;
        params.user_qual = 3;  // AHD
        params.half_size = size == Size::Half ? 1 : 0;
        Picture picture;
        picture.orientation = orientationOfFlip(raw->imgdata.sizes.flip);
        params.user_flip = 0;
        checked(raw->unpack(), "unpacking");
        raw.checkData("unpacking");
        checked(raw->dcraw_process(), "developing");
        raw.checkData("developing");
        raw->dropRawData();
        raw->recycle_datastream();  // LibRaw lets go of the file's bytes

        int bits = 0;
        raw->get_mem_image_format(&picture.width, &picture.height, &picture.bands, &bits);
        if (bits != 8 || (picture.bands != 3 && picture.bands != 1) || picture.width <= 0 ||
            picture.height <= 0)
            throw Failure("the camera raw file gave a picture of " + std::to_string(picture.bands) +
                          " colours at " + std::to_string(bits) + " bits");
        const bool turned = picture.orientation >= 5;
        picture.metadata.exif = exifBlockOf(factsOf(*raw), turned ? picture.height : picture.width,
                                            turned ? picture.width : picture.height);
        picture.pixels = raw->eightBitInPlace(picture.width, picture.height, picture.bands);
        picture.owner = raw.share();
        return picture;
    });
}

EmbeddedPreview embeddedPreview(std::span<const std::uint8_t> bytes, const Limits& limits)
{
    return guarded([&] {
        OpenRaw raw(bytes, limits);
        EmbeddedPreview preview;
        preview.orientation = orientationOfFlip(raw->imgdata.sizes.flip);
        // A preview that cannot be read, or only partly, is left out: the caller develops
        // the raw data instead.
        if (raw->unpack_thumb() == LIBRAW_SUCCESS && !raw.damaged()) {
            const libraw_thumbnail_t& thumb = raw->imgdata.thumbnail;
            const std::size_t pixels = std::size_t(thumb.twidth) * thumb.theight;
            if (thumb.thumb && thumb.tformat == LIBRAW_THUMBNAIL_JPEG && thumb.tlength > 0) {
                preview.jpeg.assign(thumb.thumb, thumb.thumb + thumb.tlength);
            } else if (thumb.thumb && thumb.tformat == LIBRAW_THUMBNAIL_BITMAP && pixels > 0 &&
                       (thumb.tcolors == 3 || thumb.tcolors == 1) &&
                       thumb.tlength >= pixels * thumb.tcolors) {
                const auto* data = reinterpret_cast<const std::uint8_t*>(thumb.thumb);
                preview.rgb = thumb.tcolors == 3 ? std::vector<std::uint8_t>(data, data + pixels * 3)
                                                 : greyToRgb(data, pixels);
                preview.width = thumb.twidth;
                preview.height = thumb.theight;
            }
        }
        const auto [width, height] = raw.uprightSizeInfoOnly();
        preview.fullWidth = width;
        preview.fullHeight = height;
        return preview;
    });
}

}  // namespace quarbel::codecs::raw
