// image_quality: how close the pictures a tool wrote are to their sources, as the mean
// PSNR over all files after both are blurred a little (sigma 1), so that dithering, which
// the eye averages away, counts for less than a wrong palette or banding.
//
//   image_quality SOURCE_DIR OUTPUT_DIR
// Every file below OUTPUT_DIR is compared with the file of the same stem in SOURCE_DIR
// (first frame, flattened on white, sRGB). Prints "mean_psnr compared skipped".

#include <vips/vips8>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

namespace fs = std::filesystem;
using vips::VImage;

namespace {

VImage comparable(VImage image)
{
    if (image.get_typeof("orientation"))
        image = image.autorot();
    if (image.get_typeof("page-height")) {
        const int page = image.get_int("page-height");
        if (page > 0 && page < image.height())
            image = image.crop(0, 0, image.width(), page);
    }
    image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    if (image.has_alpha())
        image = image.flatten(VImage::option()->set("background", std::vector<double>{255, 255, 255}));
    if (image.bands() > 3)
        image = image.extract_band(0, VImage::option()->set("n", 3));
    return image.cast(VIPS_FORMAT_UCHAR).gaussblur(1.0).cast(VIPS_FORMAT_FLOAT);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: image_quality SOURCE_DIR OUTPUT_DIR\n");
        return 2;
    }
    VIPS_INIT(argv[0]);
    vips_cache_set_max(0);
    std::map<std::string, fs::path> sources;
    for (const auto& entry : fs::directory_iterator(argv[1]))
        if (entry.is_regular_file())
            sources[entry.path().stem().string()] = entry.path();

    double sum = 0;
    int compared = 0, skipped = 0;
    for (const auto& entry : fs::recursive_directory_iterator(argv[2])) {
        if (!entry.is_regular_file())
            continue;
        const auto source = sources.find(entry.path().stem().string());
        if (source == sources.end()) {
            ++skipped;
            continue;
        }
        try {
            const VImage a = comparable(VImage::new_from_file(source->second.c_str()));
            const VImage b = comparable(VImage::new_from_file(entry.path().c_str()));
            if (a.width() != b.width() || a.height() != b.height()) {
                ++skipped;
                continue;
            }
            const VImage d = a - b;
            const double mse = (d * d).avg();
            sum += mse > 0 ? 10 * std::log10(255.0 * 255.0 / mse) : 99.0;
            ++compared;
        } catch (const vips::VError& e) {
            std::fprintf(stderr, "%s: %s\n", entry.path().c_str(), e.what());
            ++skipped;
        }
    }
    std::printf("%.4f %d %d\n", compared ? sum / compared : 0.0, compared, skipped);
    return 0;
}
