#include "jobs/imageservice/vips/Vips.h"

#include "codecs/bmp/Bmp.h"
#include "jobs/imageservice/vips/SinkOrder.h"

#include <algorithm>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <atomic>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <set>
#include <sstream>
#include <string>

namespace quarbel::imageservice {

namespace {

constexpr std::uint64_t kDefaultMaxPixels = 300'000'000;
std::atomic<std::uint64_t> gMaxPixels{kDefaultMaxPixels};
std::atomic<DecoderTrust> gTrust{DecoderTrust::InProcess};
std::atomic<bool> gInitialized{false};
std::atomic<bool> gModulesWhenNeeded{false};
std::atomic<PicturesAtOnce> gPicturesAtOnce{PicturesAtOnce::Several};
thread_local vips_util::WarningScope* tCurrentScope = nullptr;

// Warnings raised on libvips' own worker threads cannot be told apart per item; the last one
// is kept as a fallback reason.
std::mutex gLastWarningMutex;
std::string gLastWarning;

void logHandler(const gchar*, GLogLevelFlags, const gchar* message, gpointer)
{
    vips_util::recordWarning(message);
}

}  // namespace

namespace vips_util {

void recordWarning(const char* message)
{
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (tCurrentScope) {
        tCurrentScope->m_warnings.push_back(text);
    } else {
        std::lock_guard lock(gLastWarningMutex);
        gLastWarning = text;
    }
}

WarningScope::WarningScope() : m_outer(tCurrentScope)
{
    // Work guarded by a scope may be the first the engine does (LoadFile reads the file
    // before anything else): libvips' error buffer exists only once it is started.
    initialize();
    tCurrentScope = this;
    m_errorsBefore = vips_error_buffer();
}
WarningScope::~WarningScope() { tCurrentScope = m_outer; }

namespace {

// "VipsJpeg: Premature end of JPEG file" -> "Premature end of JPEG file"
std::string withoutDomain(std::string line)
{
    auto colon = line.find(": ");
    if (colon != std::string::npos && line.find(' ') > colon)
        line.erase(0, colon + 2);
    return line;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            out.push_back(line);
    return out;
}

// Frees a generated picture's client data when the picture closes.
struct Closer {
    void (*release)(void*);
    void* client;
    ~Closer() { release(client); }
};

}  // namespace

std::string reasonOf(const vips::VError& error, const WarningScope& scope)
{
    // The most telling line is the first one from the library that found the problem;
    // generic lines ("... failed", "unable to call ...") come later.
    std::string text = error.what();
    if (!scope.errorsBefore().empty() && text.starts_with(scope.errorsBefore()))
        text.erase(0, scope.errorsBefore().size());
    vips_error_clear();
    std::vector<std::string> candidates = lines(text);
    for (const auto& warning : scope.warnings())
        candidates.push_back(warning);
    for (const auto& line : candidates) {
        std::string text = withoutDomain(line);
        // libheif's refusals come after the failed read they caused ("bad seek to ...").
        if (text.find("unable to call") != std::string::npos ||
            text.find("load failed") != std::string::npos ||
            (text.starts_with("bad seek") && &line != &candidates.back()))
            continue;
        // libvips passes on the name of the libjxl call that failed, which tells people little.
        if (text.starts_with("error Jxl"))
            return "the JPEG XL data is damaged or cut short (" + text.substr(6) + " failed)";
        if (!text.empty())
            return text;
    }
    {
        std::lock_guard lock(gLastWarningMutex);
        if (!gLastWarning.empty())
            return withoutDomain(gLastWarning);
    }
    return candidates.empty() ? std::string("the image library failed") : withoutDomain(candidates.front());
}

vips::VImage loadFromBytes(const char* loader, const std::uint8_t* data, std::size_t size,
                           vips::VOption* options)
{
    VipsBlob* blob = vips_blob_new(nullptr, data, size);
    vips::VImage out;
    options = (options ? options : vips::VImage::option())->set("buffer", blob)->set("out", &out);
    try {
        vips::VImage::call(loader, options);
    } catch (...) {
        vips_area_unref(VIPS_AREA(blob));
        throw;
    }
    vips_area_unref(VIPS_AREA(blob));
    return out;
}

vips::VImage generatedFrom(const vips::VImage& input, VipsGenerateFn generate, void* client,
                           void (*release)(void*))
{
    VipsImage* in = input.get_image();
    VipsImage* out = vips_image_new();
    if (release) {
        auto* closer = new Closer{release, client};
        g_signal_connect(out, "close",
                         G_CALLBACK(+[](VipsImage*, gpointer c) { delete static_cast<Closer*>(c); }), closer);
    }
    g_object_ref(in);
    g_signal_connect(out, "close", G_CALLBACK(+[](VipsImage*, gpointer i) { g_object_unref(i); }), in);
    if (vips_image_pipelinev(out, VIPS_DEMAND_STYLE_ANY, in, nullptr) ||
        vips_image_generate(out, vips_start_one, generate, vips_stop_one, in, client)) {
        g_object_unref(out);
        throw vips::VError();
    }
    return vips::VImage(out);
}

std::vector<std::uint8_t> take(VipsBlob* blob)
{
    size_t length = 0;
    const auto* data = static_cast<const std::uint8_t*>(vips_blob_get(blob, &length));
    std::vector<std::uint8_t> out;
    try {
        out.assign(data, data + length);
    } catch (...) {
        vips_area_unref(VIPS_AREA(blob));
        throw;
    }
    vips_area_unref(VIPS_AREA(blob));
    return out;
}

codecs::PixelView viewOf(const vips::VImage& inMemory)
{
    const auto* data = static_cast<const std::uint8_t*>(inMemory.data());
    return codecs::tightView(data, inMemory.width(), inMemory.height(), inMemory.bands());
}

codecs::PixelView viewOf(VipsRegion* region, const VipsRect& area)
{
    const auto* first = reinterpret_cast<const std::uint8_t*>(VIPS_REGION_ADDR(region, area.left, area.top));
    return {first, area.width, area.height, region->im->Bands, std::size_t(VIPS_REGION_LSKIP(region))};
}

void forEachStrip(const vips::VImage& image, const std::function<void(const codecs::PixelView&)>& add)
{
    struct Sink {
        const std::function<void(const codecs::PixelView&)>& add;
        std::exception_ptr error;  // what stopped the rows coming in
    } sink{add, nullptr};
    const auto writeArea = [](VipsRegion* region, VipsRect* area, void* a) {
        auto* sink = static_cast<Sink*>(a);
        const SinkTurn turn(sink);
        try {
            sink->add(viewOf(region, *area));
            return 0;
        } catch (...) {
            sink->error = std::current_exception();
            return -1;
        }
    };
    int failed;
    {
        const SinkEvaluation evaluation(&sink);
        failed = vips_sink_disc(image.get_image(), writeArea, &sink);
    }
    if (failed) {
        if (sink.error)
            std::rethrow_exception(sink.error);
        throw vips::VError();
    }
}

void needModule(const char* name)
{
    if (!gModulesWhenNeeded.load())
        return;
    static std::mutex mutex;
    static std::set<std::string> tried;
    std::lock_guard lock(mutex);
    if (!tried.insert(name).second)
        return;
    const std::string path = std::string(QUARBEL_VIPS_MODULES "/vips-") + name + "." G_MODULE_SUFFIX;
    if (GModule* module = g_module_open(path.c_str(), GModuleFlags(G_MODULE_BIND_LAZY | G_MODULE_BIND_LOCAL))) {
        g_module_make_resident(module);  // its types stay registered with libvips
        // Its loaders are new to libvips: the rule for untrusted ones applies to them too.
        vips_block_untrusted_set(gTrust.load() != DecoderTrust::Confined);
    }
}

vips::VImage adopt(const codecs::PixelView& pixels, std::shared_ptr<void> owner)
{
    auto* keeper = new std::shared_ptr<void>(std::move(owner));
    vips::VImage image;
    try {
        image = vips::VImage::new_from_memory(const_cast<std::uint8_t*>(pixels.data),
                                              pixels.stride * std::size_t(pixels.height), pixels.width,
                                              pixels.height, pixels.bands, VIPS_FORMAT_UCHAR);
    } catch (...) {
        delete keeper;
        throw;
    }
    g_signal_connect(
        image.get_image(), "postclose",
        G_CALLBACK(+[](VipsImage*, gpointer k) { delete static_cast<std::shared_ptr<void>*>(k); }), keeper);
    return image;
}

std::vector<std::uint8_t> iccProfileOf(const vips::VImage& image)
{
    if (!image.get_typeof("icc-profile-data"))
        return {};
    size_t length = 0;
    const auto* profile = static_cast<const std::uint8_t*>(image.get_blob("icc-profile-data", &length));
    return profile ? std::vector<std::uint8_t>(profile, profile + length) : std::vector<std::uint8_t>();
}

}  // namespace vips_util

void loadModulesWhenNeeded()
{
    // libvips looks for its modules under $VIPSHOME/lib; a home without them loads none.
    ::setenv("VIPSHOME", "/nonexistent/quarbel-modules-when-needed", 1);
    gModulesWhenNeeded = true;
}

void setPicturesAtOnce(PicturesAtOnce pictures) { gPicturesAtOnce = pictures; }

void initialize()
{
    static std::once_flag once;
    std::call_once(once, [] {
#if defined(__GLIBC__)
        // Pictures are large short-lived buffers allocated on several threads at once. With
        // one malloc arena per thread each arena keeps its own high-water mark of freed
        // picture memory; two arenas keep a batch of 36-megapixel photos well below 300 MB.
        // A worker's threads all work on its one picture and share one: jpg75 with two
        // workers peaks at 82-84 MB of PSS (read every 10 ms) against 94-100 MB with two
        // arenas a worker.
        mallopt(M_ARENA_MAX, gPicturesAtOnce.load() == PicturesAtOnce::One ? 1 : 2);
        // Freed pictures go back to the system instead of staying in the heap as its high-water
        // mark (this also fixes the size from which blocks are mapped on their own, which
        // glibc otherwise raises after the first large picture is freed).
        mallopt(M_TRIM_THRESHOLD, 4 << 20);
#endif
        VIPS_INIT("quarbel");
        // The risky loaders (ImageMagick, PDF, SVG, JPEG XL, ...) only ever run in a
        // confined worker.
        vips_block_untrusted_set(gTrust.load() != DecoderTrust::Confined);
        vips_cache_set_max(0);
        g_log_set_handler("VIPS",
                          static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE |
                                                      G_LOG_LEVEL_INFO | G_LOG_LEVEL_DEBUG),
                          logHandler, nullptr);
        codecs::bmp::prepareReader();
        gInitialized = true;
    });
}

void setDecoderTrust(DecoderTrust trust)
{
    gTrust = trust;
    if (gInitialized.load())  // else initialize() applies it
        vips_block_untrusted_set(trust != DecoderTrust::Confined);
}

DecoderTrust decoderTrust() { return gTrust.load(); }

void setMaxPixels(std::uint64_t pixels) { gMaxPixels = pixels ? pixels : kDefaultMaxPixels; }
std::uint64_t maxPixels() { return gMaxPixels.load(); }

void setThreadsPerImage(int threads)
{
    initialize();
    vips_concurrency_set(std::max(1, threads));
}

int threadsPerImage()
{
    initialize();
    return vips_concurrency_get();
}

}  // namespace quarbel::imageservice
