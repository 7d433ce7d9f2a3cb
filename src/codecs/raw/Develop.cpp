// Camera raw files through LibRaw (the thread-safe libraw_r), from the file's bytes in memory.
//
// Each call opens the file (LibRaw reads the buffer where it is) and checks the picture's
// size against the limit before LibRaw allocates anything for the pixels. The development is
// LibRaw's own: black and white levels and the camera's colour matrix from the file, the
// white balance the camera recorded, AHD demosaicing, sRGB output at 8 bits, turned as the
// camera says. LibRaw's buffers (the raw data, and a 4 x 16-bit picture) are freed as soon as
// the 8-bit pixels are copied out, so at most the raw data, that picture and the result live
// together: for 24 megapixels about 48 + 192 + 72 MB.

#include "codecs/Failure.h"
#include "codecs/raw/CameraRaw.h"
#include "codecs/raw/RawExif.h"

#include <libraw/libraw.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <string>

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
        throw Failure(std::string("the camera raw file is truncated or damaged (") + libraw_strerror(code) +
                      " while " + step + ")");
    case LIBRAW_TOO_BIG: throw Failure("the camera raw picture is too large for LibRaw");
    default:
        throw Failure(std::string("the camera raw file could not be ") + step + ": " + libraw_strerror(code));
    }
}

// One LibRaw object on the heap (it is several hundred kilobytes) with a file open, its
// size checked, and its complaints about damaged data counted instead of printed.
class OpenRaw {
public:
    OpenRaw(std::span<const std::uint8_t> bytes, const Limits& limits)
    {
        if (limits.trust != Trust::Confined)
            throw Failure("camera raw files are only decoded in a worker process");
        m_raw = std::make_unique<LibRaw>(LIBRAW_OPTIONS_NONE);
        m_raw->set_dataerror_handler(&OpenRaw::noteDataError, this);
        // LibRaw never writes into the buffer it reads from.
        checked(m_raw->open_buffer(const_cast<std::uint8_t*>(bytes.data()), bytes.size()), "opened");
        const auto& sizes = m_raw->imgdata.sizes;
        if (sizes.raw_width == 0 || sizes.raw_height == 0 || sizes.width == 0 || sizes.height == 0)
            throw Failure("the camera raw file holds no picture");
        const std::uint64_t stored = std::uint64_t(sizes.raw_width) * sizes.raw_height;
        const std::uint64_t shown = std::uint64_t(sizes.width) * sizes.height;
        if (std::max(stored, shown) > limits.maxPixels)
            throw Failure("the picture is larger than " + std::to_string(limits.maxPixels) + " pixels (" +
                          std::to_string(sizes.raw_width) + " x " + std::to_string(sizes.raw_height) + ")");
    }
    ~OpenRaw()
    {
        if (m_raw)
            m_raw->recycle();
    }
    OpenRaw(const OpenRaw&) = delete;
    OpenRaw& operator=(const OpenRaw&) = delete;

    LibRaw& operator*() const { return *m_raw; }
    LibRaw* operator->() const { return m_raw.get(); }

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
        checked(m_raw->adjust_sizes_info_only(), "measured");
        return {m_raw->imgdata.sizes.iwidth, m_raw->imgdata.sizes.iheight};
    }

private:
    static void noteDataError(void* self, const char*, const int)
    {
        ++static_cast<OpenRaw*>(self)->m_dataErrors;
    }

    std::unique_ptr<LibRaw> m_raw;
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
        checked(raw->unpack(), "unpacked");
        raw.checkData("unpacking");
        checked(raw->dcraw_process(), "developed");
        raw.checkData("developing");

        Picture picture;
        int colours = 0, bits = 0;
        raw->get_mem_image_format(&picture.width, &picture.height, &colours, &bits);
        if (bits != 8 || (colours != 3 && colours != 1) || picture.width <= 0 || picture.height <= 0)
            throw Failure("the camera raw file gave a picture of " + std::to_string(colours) +
                          " colours at " + std::to_string(bits) + " bits");
        const std::size_t pixels = std::size_t(picture.width) * picture.height;
        picture.rgb.resize(pixels * colours);
        checked(raw->copy_mem_image(picture.rgb.data(), picture.width * colours, 0), "copied");
        picture.metadata.exif = exifBlockOf(factsOf(*raw), picture.width, picture.height);
        raw->recycle();  // the raw data and LibRaw's 16-bit picture go before anything else is made
        if (colours == 1)
            picture.rgb = greyToRgb(picture.rgb.data(), pixels);
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
