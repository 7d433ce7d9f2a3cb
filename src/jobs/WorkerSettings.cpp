#include "jobs/WorkerSettings.h"

#include "platform/sandbox/SystemFacts.h"
#include "platform/sandbox/Zygote.h"

#include <algorithm>
#include <mutex>

namespace quarbel::jobs {

namespace {

std::mutex gProgramMutex;
std::string gProgram;  // set by setWorkerProgram

// The zygote the workers of the worker program are copied from, started once a program (a
// zygote that failed to start is not tried again).
std::shared_ptr<platform::sandbox::Zygote> zygoteFor(const std::string& program)
{
    static std::mutex mutex;
    static std::string tried;
    static std::shared_ptr<platform::sandbox::Zygote> zygote;
    std::lock_guard lock(mutex);
    if (tried != program) {
        tried = program;
        std::string reason;
        zygote = platform::sandbox::Zygote::start(program, reason);
    }
    return zygote;
}

}  // namespace

void startWorkerZygote() { zygoteFor(workerProgram()); }

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
    const std::string installed =
        platform::sandbox::programBesideSelf(QUARBEL_WORKER_FROM_BIN, "quarbel-worker");
    return installed.empty() ? std::string(QUARBEL_WORKER_IN_BUILD) : installed;
}

platform::sandbox::WorkerOptions jobWorkerOptions()
{
    platform::sandbox::WorkerOptions options;
    options.program = workerProgram();
    options.zygote = zygoteFor(options.program);
    options.addressSpaceBytes =
        std::max<std::uint64_t>(platform::sandbox::physicalMemoryBytes() / 2, 4ull << 30);
    options.timeout = std::chrono::minutes(5);
    return options;
}

platform::sandbox::WorkerOptions previewWorkerOptions()
{
    platform::sandbox::WorkerOptions options = jobWorkerOptions();
    options.timeout = std::chrono::minutes(1);
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
