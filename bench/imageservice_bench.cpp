// imageservice_bench: runs the Image Service on many files with N threads, the way a batch
// front end would, and reports failures. Used by bench/run next to the other tools.
//
//   imageservice_bench convert FORMAT [QUALITY] --dest DIR [--jobs N] [--threads T] FILE...
//   imageservice_bench resize WIDTH HEIGHT --dest DIR [--jobs N] [--threads T] FILE...
// FORMAT is JPG, PNG, GIF, BMP, TIFF, WEBP or AVIF; T is libvips' threads per picture.

#include "jobs/imageservice/ImageService.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace quarbel::imageservice;
namespace fs = std::filesystem;

namespace {

struct Target {
    const char* name;
    const char* extension;
    const char* id;
    bool takesQuality;
};
constexpr Target kTargets[] = {
    {"JPG", ".jpg", FormatID::JPEG, true},    {"PNG", ".png", FormatID::PNG, false},
    {"GIF", ".gif", FormatID::GIF, false},    {"BMP", ".bmp", FormatID::BMP, false},
    {"TIFF", ".tiff", FormatID::TIFF, false}, {"WEBP", ".webp", FormatID::WEBP, true},
    {"AVIF", ".avif", FormatID::AVIF, true}};

int usage()
{
    std::fprintf(stderr,
                 "usage: imageservice_bench convert FORMAT [QUALITY] | resize W H  --dest DIR [--jobs N] "
                 "[--threads T] FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return usage();
    ImageProcess process;
    std::string mode = argv[1], extension;
    int i = 2;
    if (mode == "convert") {
        const Target* target = nullptr;
        for (const Target& t : kTargets)
            if (std::strcmp(argv[i], t.name) == 0)
                target = &t;
        if (!target)
            return usage();
        ++i;
        process.Filters().Add(process.FilterInfos("Convert").FilterID(), 0);
        process.Filters()(1).Properties("FormatID").Value = std::string(target->id);
        extension = target->extension;
        if (i < argc && argv[i][0] != '-') {
            if (target->takesQuality)
                process.Filters()(1).Properties("Quality").Value = std::string(argv[i]);
            ++i;
        }
    } else if (mode == "resize" && argc > 4) {
        process.Filters().Add(process.FilterInfos("Scale").FilterID(), 0);
        process.Filters()(1).Properties("PreserveAspectRatio").Value = false;
        process.Filters()(1).Properties("MaximumWidth").Value = std::string(argv[2]);
        process.Filters()(1).Properties("MaximumHeight").Value = std::string(argv[3]);
        i = 4;
    } else {
        return usage();
    }
    std::string dest;
    int jobs = int(std::thread::hardware_concurrency()), threads = 0;
    std::vector<std::string> files;
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dest") == 0 && i + 1 < argc)
            dest = argv[++i];
        else if (std::strcmp(argv[i], "--jobs") == 0 && i + 1 < argc)
            jobs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc)
            threads = std::atoi(argv[++i]);
        else
            files.push_back(argv[i]);
    }
    if (dest.empty())
        return usage();
    initialize();
    if (threads > 0)
        setThreadsPerImage(threads);

    std::atomic<std::size_t> next{0};
    std::atomic<int> failed{0};
    std::mutex printing;
    auto work = [&] {
        for (std::size_t n; (n = next++) < files.size();) {
            const fs::path source = files[n];
            const std::string out =
                (fs::path(dest) /
                 (extension.empty() ? source.filename().string() : source.stem().string() + extension))
                    .string();
            ImageFile image, result;
            Result r = image.LoadFile(source.string());
            if (r)
                r = process.Apply(image, result);
            if (r)
                r = result.SaveFile(out, SaveMode::ReplaceExisting);
            if (!r) {
                ++failed;
                std::lock_guard lock(printing);
                std::fprintf(stderr, "%s: %s\n", source.c_str(), r.reason.c_str());
            }
        }
    };
    std::vector<std::thread> pool;
    for (int t = 0; t < jobs; ++t)
        pool.emplace_back(work);
    for (auto& t : pool)
        t.join();
    return failed ? 1 : 0;
}
