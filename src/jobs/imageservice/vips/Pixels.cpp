#include "jobs/imageservice/vips/Pixels.h"

#include "codecs/jpeg/Profile.h"
#include "jobs/imageservice/vips/Premultiply.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace quarbel::imageservice::pixels {

using vips::VImage;

namespace {

bool isGrey(VipsInterpretation interpretation)
{
    return interpretation == VIPS_INTERPRETATION_B_W || interpretation == VIPS_INTERPRETATION_GREY16;
}

VImage withPageHeight(VImage image, int height)
{
    image = image.copy();
    image.set("page-height", height);
    return image;
}

// Reductions beyond this factor average blocks first: libvips refuses to reduce by more
// than about 333 in one step, and the rows it holds at once (about six times the factor,
// each as wide as the picture) grow with it.
constexpr double kMaxReduction = 16.0;

vips::VOption* lanczos() { return VImage::option()->set("kernel", VIPS_KERNEL_LANCZOS3); }

// Reductions go straight through Lanczos over the filter's whole support: its cost hardly
// depends on the factor, while averaging blocks first (as libvips' resize does) took longer
// than decoding a 12-megapixel picture. Blocks averaged for the largest reductions leave at
// least eight times the target for the filter.
VImage resized(VImage image, int width, int height)
{
    double factorX = double(image.width()) / width;
    double factorY = double(image.height()) / height;
    if (factorX > kMaxReduction || factorY > kMaxReduction) {
        image = image.shrink(std::max(1, int(factorX / 8)), std::max(1, int(factorY / 8)));
        factorX = double(image.width()) / width;
        factorY = double(image.height()) / height;
    }
    if (factorX >= 1 && factorY >= 1)
        return image.reduce(factorX, factorY, lanczos());
    // An enlargement along at least one side.
    if (factorX > 1)
        image = image.reduceh(factorX, lanczos());
    if (factorY > 1)
        image = image.reducev(factorY, lanczos());
    return image.resize(double(width) / image.width(),
                        lanczos()->set("vscale", double(height) / image.height()));
}

// Colour is scaled premultiplied by alpha (see Premultiply.h).
VImage scaleWithAlpha(const VImage& image, int width, int height)
{
    if (image.format() != VIPS_FORMAT_UCHAR)
        return resized(image.premultiply(), width, height).unpremultiply().cast(image.format());
    return unpremultiplied(resized(premultiplied(image), width, height));
}

VImage scaleFrame(VImage image, int width, int height)
{
    if (hasAlpha(image))
        image = scaleWithAlpha(image, width, height);
    else
        image = resized(image, width, height);
    // Rounding inside the scaler may leave a row or column too many or too few.
    if (image.width() > width || image.height() > height)
        image = image.crop(0, 0, std::min(width, image.width()), std::min(height, image.height()));
    if (image.width() < width || image.height() < height)
        image = image.embed(0, 0, width, height, VImage::option()->set("extend", VIPS_EXTEND_COPY));
    return image;
}

}  // namespace

bool hasAlpha(const VImage& image) { return image.has_alpha(); }

int pageHeight(const VImage& image)
{
    if (image.get_typeof("page-height")) {
        const int h = image.get_int("page-height");
        if (h > 0 && h <= image.height() && image.height() % h == 0)
            return h;
    }
    return image.height();
}

int pageCount(const VImage& image) { return image.height() / pageHeight(image); }

VImage upright(VImage image)
{
    if (pageCount(image) > 1 || !image.get_typeof("orientation") || image.get_int("orientation") == 1)
        return image;
    return image.autorot();
}

VImage toDisplay(VImage image)
{
    const VipsInterpretation interpretation = image.guess_interpretation();
    if (image.get_typeof("icc-profile-data")) {
        size_t length = 0;
        const void* profile = image.get_blob("icc-profile-data", &length);
        if (!codecs::jpeg::isSrgbProfile(profile, length)) {
            try {
                return image.icc_transform("srgb", VImage::option()
                                                       ->set("embedded", true)
                                                       ->set("intent", VIPS_INTENT_PERCEPTUAL)
                                                       ->set("depth", 8));
            } catch (const vips::VError&) {
                // A broken profile: fall back to treating the numbers as they are.
                image = image.copy();
                image.remove("icc-profile-data");
            }
        }
    } else if (interpretation == VIPS_INTERPRETATION_CMYK) {
        return image.icc_transform("srgb", VImage::option()
                                               ->set("input_profile", "cmyk")
                                               ->set("intent", VIPS_INTENT_PERCEPTUAL)
                                               ->set("depth", 8));
    }
    const VipsInterpretation target =
        isGrey(interpretation) ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB;
    if (interpretation != target)
        image = image.colourspace(target);
    if (image.format() != VIPS_FORMAT_UCHAR)
        image = image.cast(VIPS_FORMAT_UCHAR);
    return image;
}

VImage flattenOnWhite(VImage image)
{
    if (!hasAlpha(image))
        return image;
    std::vector<double> white(image.bands() - 1, 255.0);
    return image.flatten(VImage::option()->set("background", white));
}

VImage withoutOpaqueAlpha(VImage image)
{
    if (!hasAlpha(image))
        return image;
    image = image.copy_memory();
    if (image.extract_band(image.bands() - 1).min() < 255)
        return image;
    return image.extract_band(0, VImage::option()->set("n", image.bands() - 1));
}

VImage scaleTo(VImage image, int width, int height)
{
    const int pages = pageCount(image);
    if (pages == 1)
        return scaleFrame(image, width, height);
    const int page = pageHeight(image);
    std::vector<VImage> frames;
    frames.reserve(pages);
    for (int i = 0; i < pages; ++i)
        frames.push_back(scaleFrame(image.crop(0, i * page, image.width(), page), width, height));
    return withPageHeight(VImage::arrayjoin(frames, VImage::option()->set("across", 1)), height);
}

}  // namespace quarbel::imageservice::pixels
