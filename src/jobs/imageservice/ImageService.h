#pragma once
// The Image Service: the object model the batch jobs are written against (an image object
// that loads and saves files, and a process object holding a chain of filters), built on
// libvips. Errors never leave it: every operation returns a Result (see vips/Guard.h), also
// when memory runs out.
//
// Typical use by a job:
//   ImageProcess process;
//   process.Filters().Add(process.FilterInfos("Convert").FilterID(), 0);
//   process.Filters()(1).Properties("FormatID").Value = std::string(FormatID::PNG);
//   ImageFile image;
//   if (auto r = image.LoadFile(src); !r) ...
//   ImageFile result;
//   if (auto r = process.Apply(image, result); !r) ...   // decode, filter and encode
//   if (auto r = result.SaveFile(out, SaveMode::FailIfExists); !r) ...
//
// LoadFile only reads the file's bytes and its header; Apply does the decoding, the
// processing and the encoding, so the result of Apply holds the finished file in memory and
// SaveFile only writes it. Apply may run on any thread; different ImageFile/ImageProcess
// objects may be used from different threads at once (a process is read-only once its
// parameters are set).

#include "codecs/Cancel.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace quarbel::platform::files {
class SpareFiles;
}

namespace quarbel::imageservice {

struct Result {
    bool ok = true;
    std::string reason;  // why it failed, for people ("not a supported image format", ...)

    explicit operator bool() const { return ok; }
    static Result success() { return {}; }
    static Result failure(std::string why) { return {false, std::move(why)}; }
};

// The file formats' identifiers, as text with braces and upper-case hexadecimal digits: the
// texts of the table of formats (formats/Formats.h), which also has those of JPEG XL, SVG and
// PDF.
namespace FormatID {
inline constexpr const char* JPEG = "{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}";
inline constexpr const char* PNG = "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}";
inline constexpr const char* BMP = "{B96B3CAB-0728-11D3-9D7B-0000F81EF32E}";
inline constexpr const char* GIF = "{B96B3CB0-0728-11D3-9D7B-0000F81EF32E}";
inline constexpr const char* TIFF = "{B96B3CB1-0728-11D3-9D7B-0000F81EF32E}";
// The platform's container identifiers for WebP and HEIF; it names none for AVIF, which has
// one of our own.
inline constexpr const char* WEBP = "{E094B0E2-67F2-45B3-B0EA-115337CA7CF3}";
inline constexpr const char* HEIF = "{E1E62521-6787-405B-A339-500715B5763F}";
inline constexpr const char* AVIF = "{A5E3D62F-6B0C-4E1F-9A7D-51C3C0A1F101}";
}  // namespace FormatID

// Stops an Apply part-way (see codecs/Cancel.h).
using codecs::CancelToken;

// A filter parameter's value: Boolean, whole number or text, as the caller passes it.
using PropertyValue = std::variant<std::monostate, bool, long long, std::string>;

struct Property {
    std::string Name;
    PropertyValue Value;
};

enum class SaveMode {
    FailIfExists,     // an existing file of that name is left unchanged and the save fails
    ReplaceExisting,  // the new file replaces an existing one atomically, once written completely
};

class ImageFile {
public:
    ImageFile() noexcept;
    ~ImageFile();
    ImageFile(ImageFile&&) noexcept;
    ImageFile& operator=(ImageFile&&) noexcept;
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;

    // Reads the whole file into memory and recognises its format from its first bytes.
    // Replaces what the object held, also when it fails (the object is then empty).
    Result LoadFile(const std::string& path);
    // The same for a file's bytes read elsewhere.
    Result LoadBytes(std::vector<std::uint8_t> bytes);
    // The same for bytes used where they are, without a copy: they must stay unchanged and
    // alive while this object or a picture made from it by Apply is in use (a worker
    // process's view of the shared memory it was sent). FileData() is then empty.
    Result LoadView(std::span<const std::uint8_t> bytes);
    // A finished file made elsewhere (a worker process's Apply), held where it is while owner
    // lives, only to be saved: its format and size are not known here, FileData() is empty
    // and FileSize() counts its bytes. Where the bytes are also the start of a file open for
    // reading (fd, alive as long as owner), SaveFile lets the kernel copy them from there.
    static ImageFile Encoded(std::shared_ptr<const void> owner, std::span<const std::uint8_t> bytes,
                             int fd = -1);

    // Writes the file data to path: to a temporary file in the same folder, then moved into
    // place. Never leaves a partial file at path. The temporary file comes from spares when
    // one was made ahead for the folder.
    Result SaveFile(const std::string& path, SaveMode mode = SaveMode::FailIfExists,
                    platform::files::SpareFiles* spares = nullptr) const;

    bool IsEmpty() const;
    std::string FormatID() const;  // one of FormatID::*, empty when empty
    int Width() const;             // pixels, as the file's header says
    int Height() const;
    int FrameCount() const;  // 1 for still pictures
    const std::vector<std::uint8_t>& FileData() const;
    // Hands over the bytes FileData() holds; the object is empty after.
    std::vector<std::uint8_t> TakeFileData();
    std::size_t FileSize() const;

private:
    friend class ImageProcess;
    struct State;
    Result load(std::unique_ptr<State> loaded);
    std::unique_ptr<State> m_state;  // null while empty
};

class Filter {
public:
    // Filters(i).Properties(name): the named parameter; created on first use. Apply
    // refuses names and values the filter does not know, with a reason.
    Property& Properties(const std::string& name);
    const std::string& FilterID() const { return m_id; }
    const std::vector<Property>& AllProperties() const { return m_properties; }

private:
    friend class FilterList;
    friend class ImageProcess;
    std::string m_id;
    std::vector<Property> m_properties;
};

class FilterInfo {
public:
    const std::string& FilterID() const { return m_id; }
    const std::string& Name() const { return m_name; }

private:
    friend class ImageProcess;
    std::string m_name, m_id;  // m_id empty for an unknown filter name
};

class FilterList {
public:
    // Appends (position 0) or inserts before the 1-based position a filter of that id.
    void Add(const std::string& filterId, int position = 0);
    int Count() const { return static_cast<int>(m_filters.size()); }
    // 1-based, as in Filters(1). Out of range gives an inert filter outside the chain:
    // what is set on it has no effect.
    Filter& operator()(int index);
    const std::vector<Filter>& AllFilters() const { return m_filters; }

private:
    friend class ImageProcess;
    std::vector<Filter> m_filters;
    Filter m_invalid;
};

class ImageProcess {
public:
    // "Convert": FormatID (one of FormatID::*), Quality (JPEG, WebP, AVIF and HEIC, 1 to 100
    // as a number or digits; 90 when not set). Multi-frame pictures keep their frames in GIF,
    // TIFF and WebP, else the first frame is written; transparency is kept by PNG, GIF, TIFF,
    // WebP, AVIF and HEIC and flattened on white for JPEG and BMP; the EXIF orientation is
    // applied to the pixels; pictures with a colour profile are converted to sRGB and carry
    // the sRGB profile where the format can.
    // "Scale": MaximumWidth, MaximumHeight (numbers or digits; "" or 0 takes that side from
    // the picture in its proportions), PreserveAspectRatio (True by default: fit inside;
    // False: exactly that size). The result keeps the source's format; JPEG, WebP, AVIF and
    // HEIC at quality 90.
    // Either filter: KeepMetadata (True by default: the source's EXIF, XMP and IPTC go into
    // every format that holds them, the EXIF orientation then 1; False: none is written).
    FilterInfo FilterInfos(const std::string& name) const;
    FilterList& Filters() { return m_filters; }
    const FilterList& Filters() const { return m_filters; }

    // Runs the chain on the picture in `in` and puts the encoded result into `out`. Once
    // cancel (when given) is cancelled, from any thread, the work stops within a strip of
    // the picture and fails; `out` is then left as it was.
    Result Apply(const ImageFile& in, ImageFile& out, const CancelToken* cancel = nullptr) const;

private:
    FilterList m_filters;
};

// A picture decoded for showing: shrunk on load to fit inside maxWidth x maxHeight (never
// enlarged), transparency flattened on white, 8-bit RGB rows without padding.
struct PreviewResult {
    Result result;
    int fullWidth = 0, fullHeight = 0;  // the picture's own size
    int width = 0, height = 0;          // the size of rgb
    std::vector<std::uint8_t> rgb;
};
PreviewResult decodePreview(const std::string& path, int maxWidth, int maxHeight);
// The same from a file's bytes already in memory (a worker process's way).
PreviewResult decodePreview(std::span<const std::uint8_t> bytes, int maxWidth, int maxHeight);
// Only fullWidth and fullHeight, from the header: bytes may be the file's beginning alone.
PreviewResult readPreviewSize(std::span<const std::uint8_t> bytes);

// Where this process's decoders run. Outside a confined worker process the loaders libvips
// marks untrusted (JPEG XL, SVG, PDF, ImageMagick) and our own risky decoders refuse to run;
// the worker program declares itself Confined before it reads a byte of a picture.
enum class DecoderTrust { InProcess, Confined };
void setDecoderTrust(DecoderTrust trust);
DecoderTrust decoderTrust();

// libvips loads its optional modules (HEIF, JPEG XL, PDF, ImageMagick, OpenSlide) as it
// starts: each process maps their libraries and runs their start-up. A process that calls
// this first loads each module only when a picture needs it (HEIF, JPEG XL and PDF; the
// others never), which a worker process does. It changes the environment libvips reads, so
// it must come before initialize() and before the process starts any other thread.
void loadModulesWhenNeeded();

// How many pictures this process works on at once, which decides how its memory is kept:
// threads working on one picture share one malloc arena. A worker process works on one; it
// says so before initialize().
enum class PicturesAtOnce { Several, One };
void setPicturesAtOnce(PicturesAtOnce pictures);

// Starts libvips and Qt's image readers once per process (safe to call any number of times).
// A program without a QCoreApplication calls it first on its main thread.
void initialize();

// The largest picture, width x height x frames, that is decoded or produced (300 million by
// default; 0 restores the default). Larger pictures fail with a reason before any decoding.
void setMaxPixels(std::uint64_t pixels);
std::uint64_t maxPixels();

// How many threads libvips may use for one picture (the number of cores unless set). The
// job frame, which works on several pictures at once, lowers it for the length of a job so
// that the pictures together do not overload the cores.
void setThreadsPerImage(int threads);
int threadsPerImage();

}  // namespace quarbel::imageservice
