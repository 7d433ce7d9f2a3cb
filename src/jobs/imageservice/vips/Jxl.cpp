#include "jobs/imageservice/vips/Jxl.h"

#include "codecs/jxl/JxlWriter.h"
#include "jobs/imageservice/vips/Metadata.h"
#include "jobs/imageservice/vips/Vips.h"

#include <malloc.h>

#include <mutex>

namespace quarbel::imageservice {

namespace {

// libjxl allocates and frees hundreds of megabytes for every picture. Under the settings the
// process starts with (Vips.cpp: every block over 128 kB mapped on its own, freed memory given
// back) each encode faulted its memory in afresh: 10 % of the processor time went to the
// kernel clearing pages. A process that encodes JPEG XL (a worker of a JXL job encodes nothing
// else) keeps blocks of up to 32 MB in its heap and freed memory up to 256 MB for the next
// picture. The 55 files of bench/run to-jxl on two workers: 62.8 s against 64.6 s and 8.4 s of
// system time against 12.8 s (/usr/bin/time); 61.7 s against 71.1 s and 2.5 GB of PSS at the
// peak against 2.3 GB (bench/tree_peak.py). Keeping every block in the heap (no mapped
// blocks at all) gained 3 s more but held 2.9 GB.
void keepEncoderMemory()
{
#if defined(__GLIBC__)
    static std::once_flag once;
    std::call_once(once, [] {
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        mallopt(M_TRIM_THRESHOLD, 256 << 20);
    });
#endif
}

}  // namespace

std::vector<std::uint8_t> encodeJxl(vips::VImage image, int quality, const codecs::CancelToken* cancel)
{
    keepEncoderMemory();
    if (image.format() != VIPS_FORMAT_UCHAR || image.bands() < 1 || image.bands() > 4)
        throw vips_util::Failure("internal error: JPEG XL output needs 8-bit grey or sRGB pixels");
    codecs::jxl::Options options;
    options.quality = quality;
    options.profile = vips_util::iccProfileOf(image);
    options.metadata = metadataOf(image);
    options.threads = threadsPerImage();
    options.cancel = cancel;
    image = image.copy_memory();
    return codecs::jxl::encode(vips_util::viewOf(image), options);
}

std::optional<std::vector<std::uint8_t>> recompressJpegAsJxl(std::span<const std::uint8_t> jpeg)
{
    return codecs::jxl::recompressJpeg(jpeg.data(), jpeg.size(), threadsPerImage());
}

}  // namespace quarbel::imageservice
