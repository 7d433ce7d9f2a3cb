// quarbel-worker: decodes, processes and encodes the pictures of a job for quarbel and
// quarbel-batch, and decodes the window's previews, confined (see
// platform/sandbox/Confinement.h). Not for people to run: the programs start it with its
// socket as descriptor 3.
//
// What it costs, measured with bench/sandbox_bench (each file in the program and then in a
// worker; 2 cores under a load of 4 to 7 from other builds, so the noise is about 10 %),
// a 3.1 MB 12-megapixel JPEG 25 times:
// - a worker's start (exec, linking, confinement, its first message) takes 30-45 ms, and its
//   first item also starts libvips and Qt's image readers: about +200 ms, once per worker
//   and job;
// - after that, per item: to JPG and to 800 x 600 within the noise (-9 to +7 ms of 120 ms);
//   to BMP (36 MB out) +20 to +60 ms of 140 ms: the output's copy into shared memory, since
//   fresh pages are dear on this machine (36 MB written to new memory take 80-140 ms).
// The same files give the same bytes in and out of a worker (JPG, PNG, GIF, BMP, TIFF,
// WEBP, AVIF and a resize, over the corpus's JPEG, PNG, GIF, TIFF and BMP files).
//
// Small files come several in one message (ItemBatch.h, ItemPipeline.h) and a picture under
// 512 x 512 gets one libvips thread (ThreadBudget.h); the source is read where it was mapped
// (ImageFile::LoadView), not copied. bench/run small (2,000 PNGs of 64 x 64 to JPG q75, tools
// in turn): under a load of 3.5-5.6 from other builds (RUNS=3) 1.25 s, against 1.92 s for
// the program before workers and 1.25 s for ImageMagick's mogrify in one process (1.00 x);
// under a load of 8-9 (RUNS=5) 1.80 s, 2.80 s and 2.86 s (0.63 x). The workers are done
// early; what is left is the writer thread, in list order: ext4 takes 0.3-0.5 ms to make each
// new file when many were deleted lately (find_inode_bit, recently_deleted: as between bench
// runs), for mogrify alike. Per picture libvips still makes about 70 futex calls (its thread
// pool and write-behind thread) and rebuilds the EXIF block with libexif in jpegsave.
// large (5 JPEGs of 24-36 MP, RUNS=3, same load): 1.14 s / 0.96 s, 137 / 102 MB peak PSS.
//
// bench/run against the program before workers (060bdad), RUNS=3, interleaved, under a
// load of 10-12 from other builds (so the wall times are within about 10 %): seconds, then
// the peak of the summed PSS of all processes (shared library pages counted once), in MB:
//   jpg75   4.32 / 4.00 s (+8 %)    101 / 74 MB (+36 %)
//   to-jpg  7.38 / 6.19 s (+19 %)   240 / 155 MB (+55 %)
//   to-png  136.9 / 133.4 s (+3 %)  361 / 254 MB (+42 %)
//   to-gif  64.1 / 66.6 s (-4 %)    314 / 237 MB (+32 %)
//   to-bmp  22.4 / 18.4 s (+22 %)   343 / 263 MB (+30 %)
//   to-tiff 77.1 / 72.2 s (+7 %)    263 / 185 MB (+42 %)
// and under a load of 3-5:
//   resize  7.46 / 6.00 s (+24 %)   212 / 188 MB (+13 %)
//   to-webp 62.7 / 43.8 s (+43 %)   295 / 256 MB (+15 %)
// Against the workers before batches and LoadView (7d289e7, RUNS=2, load 1-4): resize 7.17 /
// 7.46 s and 210 / 316 MB, to-webp 61.9 / 54.1 s and 294 / 311 MB. The largest single
// process is smaller than before workers (to-png 194 MB against 284 MB), but every worker has
// its own heap, whose freed pictures no other worker reuses, and its own libvips and Qt.
// to-avif was not measured in this session.

#include "jobs/imageservice/ImageService.h"
#include "jobs/worker/ItemWorker.h"

int main(int argc, char** argv)
{
    quarbel::imageservice::setDecoderTrust(quarbel::imageservice::DecoderTrust::Confined);
    return quarbel::platform::sandbox::runWorker(
        argc, argv,
        [](std::string_view operation, std::span<const std::uint8_t> input,
           quarbel::platform::sandbox::SharedBuffer& output) {
            return quarbel::jobs::worker::serve(operation, input, output);
        });
}
