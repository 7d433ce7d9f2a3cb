#include "jobs/WorkerSettings.h"

#include "jobs/worker/WorkerEntry.h"
#include "platform/sandbox/SystemFacts.h"
#include "platform/sandbox/Zygote.h"

#include <algorithm>
#include <mutex>

namespace quarbel::jobs {

namespace {

std::mutex gProgramMutex;
std::string gProgram;  // set by setWorkerProgram

enum class ZygoteStart { Spawn, ForkThisProgram };

// The zygote's copy of this program runs what quarbel-worker --zygote runs.
int runAsZygote()
{
    char name[] = "quarbel-worker";
    char zygote[] = "--zygote";
    char* arguments[] = {name, zygote, nullptr};
    return worker::runWorkerProcess(2, arguments);
}

// The zygote the workers of the worker program are copied from, started once a program (a
// zygote that failed to start is not tried again). quarbel-worker's own code is linked into
// this program, so its zygote can be a copy of the program; another worker program (the
// tests') is spawned.
std::shared_ptr<platform::sandbox::Zygote> zygoteFor(const std::string& program, ZygoteStart start)
{
    static std::mutex mutex;
    static std::string tried;
    static std::shared_ptr<platform::sandbox::Zygote> zygote;
    std::lock_guard lock(mutex);
    if (tried != program) {
        tried = program;
        std::string reason;
        zygote = nullptr;
        if (start == ZygoteStart::ForkThisProgram)
            zygote = platform::sandbox::Zygote::forkFromThisProgram(program, runAsZygote, reason);
        if (!zygote)
            zygote = platform::sandbox::Zygote::start(program, reason);
    }
    return zygote;
}

}  // namespace

void startWorkerZygote()
{
    std::string program;
    {
        std::lock_guard lock(gProgramMutex);
        program = gProgram;
    }
    zygoteFor(workerProgram(), program.empty() ? ZygoteStart::ForkThisProgram : ZygoteStart::Spawn);
}

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
    options.zygote = zygoteFor(options.program, ZygoteStart::Spawn);
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
