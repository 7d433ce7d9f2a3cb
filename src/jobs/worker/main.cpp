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
// in turn, RUNS=5): 1.99 s, against 3.06 s for the program before workers and 1.71 s for
// ImageMagick's mogrify in one process (1.16 x). Both spend much of it in ext4, which takes
// 0.3-0.5 ms to make each new file when many were deleted lately (find_inode_bit,
// recently_deleted: as between bench runs); the output files are made ahead on a thread of
// their own (platform/files/SpareFiles.h). Per picture libvips still makes about 70 futex
// calls (its thread pool and write-behind thread) and rebuilds the EXIF block with libexif in
// jpegsave: the engine alone takes 0.68 ms of processor time a picture, mogrify 0.36 ms.
// large (5 JPEGs of 24-36 MP, RUNS=3, measured earlier under a load of 3.5-5.6 from builds):
// 1.14 s / 0.96 s, 137 / 102 MB peak PSS.
//
// bench/run against the program before workers (060bdad), RUNS=3, interleaved, with a fuzz
// campaign beside it at the lowest priority: seconds, then the peak of the summed PSS of all
// processes (shared library pages counted once), in MB, after / before:
//   jpg75   2.95 / 2.75 s (+7 %)    87 / 66 MB
//   to-bmp  7.31 / 6.56 s (+11 %)   202 / 266 MB
//   resize  3.66 / 4.05 s (-10 %)   184 / 153 MB
//   to-tiff 20.48 / 20.92 s (-2 %)  201 / 180 MB
//   to-gif  17.05 / 18.22 s (-6 %)  259 / 235 MB
//   to-webp 29.50 / 29.86 s (-1 %)  259 / 233 MB
//   to-png  28.07 / 27.60 s (+2 %)  295 / 267 MB
//   to-avif 38.15 / 38.82 s (-2 %)  265 / 255 MB
// (jpg75 and to-bmp with outputs written from the worker's memory file by sendfile, the rest
// just before that change.) Timed alone with /usr/bin/time, without bench/run's sampling of
// every process's memory, three runs each in turn: jpg75 2.04-2.34 / 2.02-2.34 s, to-bmp
// 5.30-5.88 / 5.21-5.56 s. What to-bmp still pays is the copy of each output into shared
// memory (1.85 GB). The largest single process is smaller than before workers (to-png 190 MB
// against 284 MB), but every worker has its own heap, whose freed pictures no other worker
// reuses, and its own libvips and Qt.

#include "jobs/imageservice/ImageService.h"
#include "jobs/worker/ItemWorker.h"

int main(int argc, char** argv)
{
    // Before anything starts a thread. ImageMagick's and OpenSlide's modules are never
    // needed here; HEIF, JPEG XL and PDF come when a picture asks. A worker started 35 ms
    // sooner this way (vips --version with and without its modules: 0.07-0.08 s against
    // 0.04-0.06 s).
    quarbel::imageservice::loadModulesWhenNeeded();
    quarbel::imageservice::setDecoderTrust(quarbel::imageservice::DecoderTrust::Confined);
    return quarbel::platform::sandbox::runWorker(
        argc, argv,
        [](std::string_view operation, std::span<const std::uint8_t> input,
           quarbel::platform::sandbox::SharedBuffer& output) {
            return quarbel::jobs::worker::serve(operation, input, output);
        });
}
