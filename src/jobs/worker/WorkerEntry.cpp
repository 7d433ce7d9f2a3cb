#include "jobs/worker/WorkerEntry.h"

#include "jobs/imageservice/ImageService.h"
#include "jobs/worker/ItemWorker.h"
#include "platform/sandbox/WorkerMain.h"

namespace quarbel::jobs::worker {

int runWorkerProcess(int argc, char** argv)
{
    // Before anything starts a thread. ImageMagick's and OpenSlide's modules are never
    // needed here; HEIF, JPEG XL and PDF come when a picture asks. libvips starts 20-40 ms
    // sooner without them (vips --version: 0.04-0.06 s against 0.07-0.08 s with them).
    imageservice::loadModulesWhenNeeded();
    imageservice::setDecoderTrust(imageservice::DecoderTrust::Confined);
    imageservice::setPicturesAtOnce(imageservice::PicturesAtOnce::One);
    return platform::sandbox::runWorker(
        argc, argv,
        [](std::string_view operation, std::span<const std::uint8_t> input, platform::sandbox::SharedBuffer& output) {
            return serve(operation, input, output);
        },
        [] { imageservice::initialize(); });
}

}  // namespace quarbel::jobs::worker
