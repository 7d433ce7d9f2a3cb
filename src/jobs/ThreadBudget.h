#pragma once
// How a job spreads its work over the machine's cores, decided here and nowhere else:
// - Workers: --jobs worker processes (the number of cores by default, at most 64), each
//   working one item at a time, under the job's own limit where it has one.
// - libvips' threads for one picture: cores / workers (at least one), so that the workers
//   together fit the machine. The frame sets it for the length of a job (ThreadsPerImage in
//   JobFrame.cpp) and every item tells its worker. bench/run with --jobs 2 on 2 cores, this
//   bound against libvips' own default of a thread per core for each picture (interleaved,
//   RUNS=3 twice, load 2.5-5): jpg75 3.42/3.85 s against 5.09/3.60 s, resize 8.86/7.76 s
//   against 6.58/7.97 s, large 1.67/1.64 s against 1.92/1.78 s, the same peak memory: within
//   the noise except on the large pictures, where it is ahead; it stays because it keeps the
//   thread count bounded when the machine has other work.
// - AVIF: aom spreads one encode over every core (AvifEncoder takes a thread per core), so a
//   job that writes AVIF runs one worker: a second would only hold its picture while it
//   waits. bench/run to-avif (65 files): one worker 33.2 s and 277 MB at the peak, two
//   34.3 s and 300 MB.
// - JPEG XL: libjxl's encoder holds about 1.4 GB for a 12-megapixel picture and spreads one
//   encode over its threads less well than two encodes over one thread each: a worker for
//   every 4 GB of the machine's memory (one below 8 GB), each with the budget's threads.
//   The 55 files of bench/run to-jxl (/usr/bin/time): one worker of two threads 77.2 s, two
//   workers of one 64.6 s, cjxl two at a time 65.2 s; with the encoder's memory kept as well
//   (imageservice/vips/Jxl.cpp) 58.8-61.6 s against cjxl's 64.3-65.9 s, three runs each in
//   turn. bench/run to-jxl: 67.8 s and 2.4 GB of PSS at the peak, cjxl 74.2 s and 2.1 GB.
// - Camera raw: the demosaicing (codecs/raw/Ahd.h) and the passes around it
//   (codecs/raw/Develop.cpp) take a thread a core, whatever the budget gives a picture: when
//   the workers develop at once they share the cores, and the last picture of a run gets all
//   of them. Three 24-megapixel DNGs to JPG with --jobs 2: 2.46 s, against 3.07 s for
//   LibRaw's own dcraw_emu | cjpeg two at a time.
// - Previews (the window): two worker processes beside the job's (one for the picture asked
//   for, one decoding ahead), each with libvips' default of a thread per core, at a lower
//   priority (nice 10) than the window; the prefetch stops while a job runs.
// - Small pictures: a picture of fewer than kSmallPicturePixels pixels is worked with one
//   libvips thread, whatever the budget gives a picture: a 64 x 64 PNG to JPG is a few
//   strips, and perf shows its time in libvips' hand-offs between threads (futex), not in
//   pixels. The worker decides it per picture from the header (threadsFor). On this 2-core
//   machine --jobs 2 gives one thread a picture anyway; the rule counts where the budget
//   gives more (not measured separately here). A plain PNG of at most 512 x 512 to JPG
//   takes no libvips pipeline and no thread at all (imageservice/vips/SmallPng.h).
// - Small files travel in batches (ItemPipeline.h): up to kBatchItems sources of at most
//   kSmallSourceBytes each go to a worker in one message, so a worker's round trip is paid
//   once per batch; a larger file goes alone.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quarbel::jobs {

struct ThreadBudget {
    int workers = 1;
    int threadsPerPicture = 1;
};

// cores: the machine's; requestedJobs: --jobs, 0 for the number of cores; mostAtOnce: the
// job's own limit on workers, 0 for none.
ThreadBudget threadBudget(int cores, int requestedJobs, int mostAtOnce);

// A convert job's own limit on workers for its target format (an Image Service FormatID) on
// a machine with this much memory: 1 for AVIF, one per kMemoryPerJxlWorker for JPEG XL (at
// least 1), else 0 (none).
int mostWorkersFor(std::string_view formatId, std::uint64_t memoryBytes);
inline constexpr std::uint64_t kMemoryPerJxlWorker = std::uint64_t(4) << 30;

inline constexpr std::uint64_t kSmallPicturePixels = 512 * 512;
inline constexpr std::size_t kSmallSourceBytes = 64 * 1024;
inline constexpr int kBatchItems = 16;

// libvips' threads for a picture of this many pixels (width x height x frames) in a job whose
// budget gives each picture threadsPerPicture.
inline int threadsFor(std::uint64_t pixels, int threadsPerPicture)
{
    return pixels < kSmallPicturePixels ? 1 : threadsPerPicture;
}

}  // namespace quarbel::jobs
