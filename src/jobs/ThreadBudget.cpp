#include "jobs/ThreadBudget.h"

#include "jobs/imageservice/ImageService.h"

#include <algorithm>

namespace quarbel::jobs {

namespace {

constexpr int kMostWorkers = 64;

}  // namespace

ThreadBudget threadBudget(int cores, int requestedJobs, int mostAtOnce)
{
    cores = std::max(1, cores);
    int workers = requestedJobs > 0 ? requestedJobs : cores;
    if (mostAtOnce > 0)
        workers = std::min(workers, mostAtOnce);
    workers = std::clamp(workers, 1, kMostWorkers);
    return {workers, std::max(1, cores / workers)};
}

int mostWorkersFor(std::string_view formatId) { return formatId == imageservice::FormatID::AVIF ? 1 : 0; }

}  // namespace quarbel::jobs
