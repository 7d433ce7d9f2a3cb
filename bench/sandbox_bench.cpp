// sandbox_bench: what working an item in a confined worker process costs, and whether it
// gives the same bytes. Every file is worked twice, one after the other: by the Image Service
// in this process (read, LoadFile, Apply) and the way the jobs do it (read, shared memory,
// quarbel-worker, bytes back); the two outputs are compared byte for byte and the times
// summed. Run by hand:
//
//   sandbox_bench JPG|PNG|GIF|BMP|TIFF|WEBP|AVIF|WxH [QUALITY] FILE...
//
// WxH is the resize job's scale to exactly that size; QUALITY (75 unless given) is for JPG,
// WEBP and AVIF. libvips gets its default threads per picture in both.

#include "jobs/WorkerSettings.h"
#include "jobs/imageservice/ImageService.h"
#include "jobs/worker/ItemRequest.h"
#include "platform/files/ReadFile.h"
#include "platform/sandbox/WorkerPool.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

using namespace quarbel;
namespace is = quarbel::imageservice;
namespace sandbox = quarbel::platform::sandbox;
using Clock = std::chrono::steady_clock;

namespace {

bool setUp(is::ImageProcess& process, const std::string& target, const std::string& quality)
{
    const struct {
        const char* name;
        const char* id;
    } formats[] = {{"JPG", is::FormatID::JPEG}, {"PNG", is::FormatID::PNG},   {"GIF", is::FormatID::GIF},
                   {"BMP", is::FormatID::BMP},  {"TIFF", is::FormatID::TIFF}, {"WEBP", is::FormatID::WEBP},
                   {"AVIF", is::FormatID::AVIF}};
    for (const auto& format : formats) {
        if (target == format.name) {
            process.Filters().Add(process.FilterInfos("Convert").FilterID(), 0);
            process.Filters()(1).Properties("FormatID").Value = std::string(format.id);
            process.Filters()(1).Properties("Quality").Value = quality;
            return true;
        }
    }
    const auto x = target.find('x');
    if (x == std::string::npos)
        return false;
    process.Filters().Add(process.FilterInfos("Scale").FilterID(), 0);
    process.Filters()(1).Properties("PreserveAspectRatio").Value = false;
    process.Filters()(1).Properties("MaximumWidth").Value = target.substr(0, x);
    process.Filters()(1).Properties("MaximumHeight").Value = target.substr(x + 1);
    return true;
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: sandbox_bench JPG|PNG|GIF|BMP|TIFF|WEBP|AVIF|WxH [QUALITY] FILE...\n");
        return 2;
    }
    is::initialize();
    int first = 2;
    std::string quality = "75";
    if (argc > 3 && std::strspn(argv[2], "0123456789") == std::strlen(argv[2])) {
        quality = argv[2];
        first = 3;
    }
    is::ImageProcess process;
    if (!setUp(process, argv[1], quality)) {
        std::fprintf(stderr, "sandbox_bench: unknown target %s\n", argv[1]);
        return 2;
    }
    const std::string request = jobs::worker::requestToText(jobs::worker::requestFor(process));
    sandbox::WorkerPool workers(jobs::jobWorkerOptions(), 1);
    std::string reason;
    if (!workers.start(reason)) {
        std::fprintf(stderr, "sandbox_bench: %s\n", reason.c_str());
        return 1;
    }
    std::printf("workers: %s\n", sandbox::confinementText(workers.confinement()).c_str());

    Clock::duration here{}, there{};
    int items = 0, different = 0, failed = 0;
    for (int i = first; i < argc; ++i) {
        const auto start = Clock::now();
        is::ImageFile source, result;
        const bool madeHere = source.LoadFile(argv[i]) && process.Apply(source, result);
        source = is::ImageFile();
        const auto middle = Clock::now();

        std::vector<std::uint8_t> bytes;
        sandbox::WorkResult done;
        if (platform::files::readWholeFile(argv[i], bytes)) {
            sandbox::SharedBuffer input = sandbox::SharedBuffer::create(0);
            input.assign(bytes);
            bytes = {};
            done = workers.run(request, std::move(input));
        }
        const auto end = Clock::now();
        const std::vector<std::uint8_t> madeThere(done.output.bytes().begin(), done.output.bytes().end());

        here += middle - start;
        there += end - middle;
        ++items;
        if (!madeHere || done.outcome != sandbox::WorkOutcome::Done) {
            ++failed;
            std::printf("%s: failed %s %s\n", argv[i], madeHere ? "" : "here", done.reason.c_str());
        } else if (madeThere != result.FileData()) {
            ++different;
            std::printf("%s: different bytes (%zu here, %zu in the worker)\n", argv[i],
                        result.FileData().size(), madeThere.size());
        }
    }
    std::printf(
        "%s: %d items, %d different, %d failed; here %.3f s, in a worker %.3f s, %+.1f ms an item "
        "(%+.1f%%)\n",
        argv[1], items, different, failed, seconds(here), seconds(there),
        1000 * seconds(there - here) / std::max(items, 1), 100 * (seconds(there) / seconds(here) - 1));
    return different || failed ? 1 : 0;
}
