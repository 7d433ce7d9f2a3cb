#include "jobs/imageservice/vips/Metadata.h"

#include "jobs/imageservice/vips/Pixels.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace quarbel::imageservice {

namespace {

using vips::VImage;

constexpr const char* kExif = "exif-data";
constexpr const char* kXmp = "xmp-data";
constexpr const char* kIptc = "iptc-data";

codecs::Bytes blobOf(const VImage& image, const char* name)
{
    if (!image.get_typeof(name))
        return {};
    size_t length = 0;
    const auto* data = static_cast<const std::uint8_t*>(image.get_blob(name, &length));
    return data ? codecs::Bytes(data, data + length) : codecs::Bytes();
}

int orientationOf(const VImage& image)
{
    return image.get_typeof("orientation") ? image.get_int("orientation") : 1;
}

bool looksLikeXmp(const codecs::Bytes& data)
{
    const std::string_view text(reinterpret_cast<const char*>(data.data()),
                                std::min<std::size_t>(data.size(), 512));
    return text.find("<?xpacket") != std::string_view::npos ||
           text.find("<x:xmpmeta") != std::string_view::npos;
}

// The names of the picture's fields, read once (libvips hands out a list to free).
std::vector<std::string> fieldNames(const VImage& image)
{
    std::vector<std::string> names;
    gchar** fields = vips_image_get_fields(image.get_image());
    for (gchar** f = fields; f && *f; ++f)
        names.emplace_back(*f);
    g_strfreev(fields);
    return names;
}

void setBlob(VImage& image, const char* name, const codecs::Bytes& data)
{
    vips_image_set_blob_copy(image.get_image(), name, data.data(), data.size());
}

}  // namespace

VImage withMetadata(VImage image, Metadata use)
{
    const std::vector<std::string> names = fieldNames(image);
    image = image.copy();
    if (use == Metadata::Strip) {
        // The parsed EXIF fields too: the savers would build a new block from them.
        for (const std::string& name : names)
            if (name == kExif || name == kXmp || name == kIptc || name.rfind("exif-", 0) == 0 ||
                name.rfind("heif-mime-", 0) == 0)
                image.remove(name.c_str());
        return image;
    }
    codecs::Bytes xmp = blobOf(image, kXmp);
    if (xmp.empty()) {
        for (const std::string& name : names)
            if (name.rfind("heif-mime-", 0) == 0) {
                codecs::Bytes item = blobOf(image, name.c_str());
                if (looksLikeXmp(item)) {
                    xmp = std::move(item);
                    break;
                }
            }
    }
    if (!xmp.empty())
        setBlob(image, kXmp, codecs::exif::xmpWithOrientation(xmp.data(), xmp.size(), orientationOf(image)));
    return image;
}

codecs::Metadata metadataOf(const VImage& image)
{
    codecs::Metadata metadata;
    if (const codecs::Bytes exif = blobOf(image, kExif); !exif.empty()) {
        metadata.exif = codecs::exif::parse(exif.data(), exif.size());
        if (metadata.exif)
            codecs::exif::describe(*metadata.exif, orientationOf(image), std::uint32_t(image.width()),
                                   std::uint32_t(pixels::pageHeight(image)));
    }
    metadata.xmp = blobOf(image, kXmp);
    const codecs::Bytes iptc = blobOf(image, kIptc);
    metadata.iptc = codecs::exif::iptcRecords(iptc.data(), iptc.size());
    return metadata;
}

}  // namespace quarbel::imageservice
