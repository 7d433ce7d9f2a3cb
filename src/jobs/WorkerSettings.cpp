#include "jobs/WorkerSettings.h"

#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <mutex>

namespace quarbel::jobs {

namespace {

std::mutex gProgramMutex;
std::string gProgram;  // set by setWorkerProgram

}  // namespace

void setWorkerProgram(const std::string& program)
{
    std::lock_guard lock(gProgramMutex);
    gProgram = program;
}

std::string workerProgram()
{
    {
        std::lock_guard lock(gProgramMutex);
        if (!gProgram.empty())
            return gProgram;
    }
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const auto installed = self.parent_path() / QUARBEL_WORKER_FROM_BIN / "quarbel-worker";
        if (::access(installed.c_str(), X_OK) == 0)
            return installed.string();
    }
    return QUARBEL_WORKER_IN_BUILD;
}

platform::sandbox::WorkerOptions jobWorkerOptions()
{
    platform::sandbox::WorkerOptions options;
    options.program = workerProgram();
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    const std::uint64_t memory =
        pages > 0 && pageSize > 0 ? std::uint64_t(pages) * std::uint64_t(pageSize) : 0;
    options.addressSpaceBytes = std::max<std::uint64_t>(memory / 2, 4ull << 30);
    options.timeout = std::chrono::minutes(5);
    return options;
}

std::string workerConfinementText()
{
    platform::sandbox::WorkerProcess worker(jobWorkerOptions());
    std::string reason;
    if (!worker.start(reason))
        return reason;
    return platform::sandbox::confinementText(worker.confinement());
}

}  // namespace quarbel::jobs
