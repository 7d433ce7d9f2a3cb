#include "codecs/webp/Container.h"

#include "codecs/Failure.h"

#include <webp/mux.h>

#include <memory>
#include <string>

namespace quarbel::codecs::webp {

Bytes take(WebPData& data)
{
    Bytes out;
    try {
        out.assign(data.bytes, data.bytes + data.size);
    } catch (...) {
        WebPDataClear(&data);
        throw;
    }
    WebPDataClear(&data);
    return out;
}

Bytes withChunks(Bytes file, const Options& options)
{
    // The EXIF chunk holds the TIFF structure itself, without the "Exif\0\0" that JPEG puts
    // in front of it.
    const Bytes exif = options.metadata.exif ? exif::encode(*options.metadata.exif) : Bytes();
    if (options.profile.empty() && exif.empty() && options.metadata.xmp.empty())
        return file;

    const WebPData image{file.data(), file.size()};
    const std::unique_ptr<WebPMux, decltype(&WebPMuxDelete)> mux(WebPMuxCreate(&image, 0), WebPMuxDelete);
    if (!mux)
        throw Failure("not enough memory for the WebP file's metadata");
    const auto add = [&](const char* fourcc, const Bytes& data, const char* what) {
        const WebPData chunk{data.data(), data.size()};
        if (!data.empty() && WebPMuxSetChunk(mux.get(), fourcc, &chunk, 1) != WEBP_MUX_OK)
            throw Failure(std::string("the WebP file cannot hold the picture's ") + what);
    };
    add("ICCP", options.profile, "colour profile");
    add("EXIF", exif, "EXIF data");
    add("XMP ", options.metadata.xmp, "XMP data");

    WebPData assembled;
    WebPDataInit(&assembled);
    if (WebPMuxAssemble(mux.get(), &assembled) != WEBP_MUX_OK) {
        WebPDataClear(&assembled);
        throw Failure("the WebP file with its metadata could not be put together");
    }
    return take(assembled);
}

}  // namespace quarbel::codecs::webp
