#include "jobs/ThreadBudget.h"

#include "formats/Formats.h"

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

int mostWorkersFor(std::string_view formatId, std::uint64_t memoryBytes)
{
    const formats::Row* row = formats::rowOfFormatId(formatId);
    if (!row)
        return 0;
    if (row->encoder == formats::Encoder::OwnAvif)
        return 1;
    if (row->encoder == formats::Encoder::OwnJxl)
        return int(std::clamp<std::uint64_t>(memoryBytes / kMemoryPerJxlWorker, 1, kMostWorkers));
    return 0;
}

}  // namespace quarbel::jobs
