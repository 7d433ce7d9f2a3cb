// The JPEG coefficient path: what decide() says from the header and what transcode() does
// must agree, and a written file must be one libjpeg reads at the source's size, carrying
// the segments it was given.
#include "FuzzSupport.h"

#include "codecs/jpeg/Transcode.h"

#include <jpeglib.h>
#include <csetjmp>

using namespace quarbel;
using namespace quarbel::codecs::jpeg;

namespace {

struct Size {
    unsigned width = 0, height = 0;
    int components = 0;
};

struct Error {
    jpeg_error_mgr manager;
    std::jmp_buf back;
};

// The size libjpeg reads from a file's header and, when `coefficients`, whether it reads
// every coefficient; nothing when it fails.
std::optional<Size> readWithLibjpeg(const fuzz::Bytes& file, bool coefficients)
{
    jpeg_decompress_struct info{};
    Error error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = [](j_common_ptr c) {
        std::longjmp(reinterpret_cast<Error*>(c->err)->back, 1);
    };
    error.manager.emit_message = [](j_common_ptr, int) {};
    if (setjmp(error.back)) {
        jpeg_destroy_decompress(&info);
        return std::nullopt;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    if (coefficients)
        jpeg_read_coefficients(&info);
    const Size size{info.image_width, info.image_height, info.num_components};
    jpeg_destroy_decompress(&info);
    return size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A file that ends where JPEG files end is written at the usual settings; bytes after
    // its end choose others (quality 0 is outside the range on purpose).
    Target target;
    if (size >= 2 && (data[size - 2] != 0xFF || data[size - 1] != 0xD9)) {
        target.quality = data[size - 1] % 101;
        target.chroma = data[size - 2] & 1 ? Chroma::Full : Chroma::Halved;
    }
    target.markers = metadataSegments(data, size);
    target.maxCoefficientBytes = std::size_t(8) << 20;

    const Transcoded decided = decide(data, size, target);
    FUZZ_CHECK(decided.bytes.empty());
    FUZZ_CHECK(decided.written() || !decided.reason.empty());
    const Transcoded done = transcode(data, size, target);
    FUZZ_CHECK(done.written() || !done.reason.empty());
    FUZZ_CHECK(!done.written() || decided.outcome == done.outcome);
    if (!done.written())
        return 0;

    const fuzz::Bytes source(data, data + size);
    const std::optional<Size> from = readWithLibjpeg(source, false);
    const std::optional<Size> to = readWithLibjpeg(done.bytes, true);
    FUZZ_CHECK(from && to);
    FUZZ_CHECK(from->width == to->width && from->height == to->height && from->components == to->components);
    // The given segments, in their order, among the written file's.
    const std::vector<Marker> written = metadataSegments(done.bytes.data(), done.bytes.size());
    auto next = written.begin();
    for (const Marker& m : target.markers) {
        next = std::find_if(next, written.end(),
                            [&](const Marker& w) { return w.code == m.code && w.payload == m.payload; });
        FUZZ_CHECK(next != written.end());
        ++next;
    }
    return 0;
}
