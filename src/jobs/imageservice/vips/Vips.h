#pragma once
// libvips plumbing shared by the Image Service: start-up, the limits against hostile files,
// and turning libvips' errors and warnings into reasons people can read.

#include "codecs/Failure.h"
#include "codecs/PixelView.h"
#include "jobs/imageservice/ImageService.h"

#include <vips/vips8>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quarbel::imageservice::vips_util {

// A failure with a reason for people, thrown inside the engine and turned into a Result at
// the service's edge (libvips' own errors arrive as vips::VError).
using Failure = codecs::Failure;

void recordWarning(const char* message);

// Collects the libvips warnings raised on this thread while it lives, so that they stay off
// the terminal but can become the reason when the operation fails. It also notes what
// libvips' error text (one for the whole process) held before the operation began, so that
// an earlier picture's errors never become this one's reason.
class WarningScope {
public:
    WarningScope();
    ~WarningScope();
    WarningScope(const WarningScope&) = delete;
    WarningScope& operator=(const WarningScope&) = delete;
    const std::vector<std::string>& warnings() const { return m_warnings; }
    const std::string& errorsBefore() const { return m_errorsBefore; }

private:
    friend void recordWarning(const char* message);
    std::vector<std::string> m_warnings;
    std::string m_errorsBefore;
    WarningScope* m_outer;
};

// The reason text of a libvips error: its first meaningful line, or the last warning seen.
// libvips' error text is emptied afterwards: it only ever grows, and once full it would
// take no new errors.
std::string reasonOf(const vips::VError& error, const WarningScope& scope);

// A blob that points at bytes owned elsewhere (they must outlive every image made from it).
vips::VImage loadFromBytes(const char* loader, const std::uint8_t* data, std::size_t size,
                           vips::VOption* options);

// A lazy picture of the same size, bands and format as input, made region by region by
// generate: its sequence is a region on input, a is input's VipsImage, b is client.
// release(client), when given, runs when the picture closes; input lives as long as it.
vips::VImage generatedFrom(const vips::VImage& input, VipsGenerateFn generate, void* client,
                           void (*release)(void*) = nullptr);

// The bytes of a blob a libvips saver returned; the blob is released.
std::vector<std::uint8_t> take(VipsBlob* blob);

// The pixels of an 8-bit picture held in memory (after copy_memory), and of an area of a
// region of one.
codecs::PixelView viewOf(const vips::VImage& inMemory);
codecs::PixelView viewOf(VipsRegion* region, const VipsRect& area);

// The picture's rows top to bottom, handed to `add` a strip at a time as libvips computes
// them. What `add` throws stops the computing and is thrown again here; libvips' own
// failures come out as vips::VError.
void forEachStrip(const vips::VImage& image, const std::function<void(const codecs::PixelView&)>& add);

// Loads libvips' module `name` ("heif", "jxl", "poppler") for the loaders and savers it
// brings, where the process asked for modules when needed; otherwise libvips loaded it as
// it started. A module that cannot be loaded leaves its loaders unknown, so the picture fails
// with libvips' reason.
void needModule(const char* name);

// A picture of the given pixels, used where they are; owner is released when it closes.
vips::VImage adopt(const codecs::PixelView& pixels, std::shared_ptr<void> owner);

// The picture's ICC profile, empty when it has none.
std::vector<std::uint8_t> iccProfileOf(const vips::VImage& image);

}  // namespace quarbel::imageservice::vips_util
