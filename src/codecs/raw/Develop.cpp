// Camera raw files through LibRaw (the thread-safe libraw_r), from the file's bytes in memory.
//
// Each call opens the file (LibRaw reads the buffer where it is) and checks the picture's
// size against the limit before LibRaw allocates anything for the pixels. The development is
// LibRaw's own: black and white levels and the camera's colour matrix from the file, the
// white balance the camera recorded, AHD demosaicing, sRGB output at 8 bits.
//
// Memory: LibRaw holds the raw data (2 bytes a pixel) and develops into a picture of four
// 16-bit samples a pixel. The raw data is freed once developed, and the 8-bit pixels are
// written over the start of LibRaw's picture, which is then shrunk to them, instead of into
// a third buffer: for 24 megapixels the peak went from about 48 + 192 + 72 MB to 48 + 192
// (a worker converting a 24-megapixel DNG to JPG peaked at 443 MB before, 386 MB after).
// Writing over its own input is safe because LibRaw's copy walks the picture in order and
// an 8-bit pixel (3 bytes) never reaches the 16-bit pixel (8 bytes) it comes from; that
// holds only unturned, so LibRaw does not turn the picture: the caller does, from the
// orientation it is given.

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
        throw Failure(std::string("the camera raw file is truncated or damaged (") + step + ": " +
                      libraw_strerror(code) + ")");
    case LIBRAW_TOO_BIG: throw Failure("the camera raw picture is too large for LibRaw");
    default:
        throw Failure(std::string("LibRaw failed ") + step +
                      " the camera raw file: " + libraw_strerror(code));
    }
}

// LibRaw with the two steps above that its interface lacks; its allocator is protected.
class Developer : public LibRaw {
public:
    Developer() : LibRaw(LIBRAW_OPTIONS_NONE) {}

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

    // The developed picture at 8 bits, `colours` bytes a pixel, in LibRaw's own buffer,
    // which lives as long as this object. Needs an unturned picture (flip 0).
    std::uint8_t* eightBitInPlace(int width, int height, int colours)
    {
        auto* pixels = reinterpret_cast<std::uint8_t*>(imgdata.image);
        const std::size_t bytes = std::size_t(width) * height * colours;
        if (!pixels || imgdata.sizes.flip != 0 ||
            bytes > std::size_t(imgdata.sizes.iwidth) * imgdata.sizes.iheight * sizeof *imgdata.image)
            throw Failure("the camera raw picture could not be developed");
        checked(copy_mem_image(pixels, width * colours, 0), "copying");
        if (void* smaller = realloc(pixels, bytes))
            imgdata.image = static_cast<ushort(*)[4]>(smaller);
        return reinterpret_cast<std::uint8_t*>(imgdata.image);
    }
};

// One LibRaw object on the heap (it is several hundred kilobytes) with a file open, its
// size checked, and its complaints about damaged data counted instead of printed.
class OpenRaw {
public:
    OpenRaw(std::span<const std::uint8_t> bytes, const Limits& limits)
    {
        if (limits.trust != Trust::Confined)
            throw Failure("camera raw files are only decoded in a worker process");
        m_raw = std::make_shared<Developer>();
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
