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

int mostWorkersFor(std::string_view formatId)
{
    const formats::Row* row = formats::rowOfFormatId(formatId);
    return row && (row->encoder == formats::Encoder::OwnAvif || row->encoder == formats::Encoder::OwnJxl) ? 1
                                                                                                          : 0;
}

}  // namespace quarbel::jobs
