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
// bench/run against the program before workers (060bdad), with the machine's free memory
// touched first (bench/warm_memory.py; before that, whichever run first needed fresh pages
// paid several times more for them, which had put to-bmp at +11 %), the fuzz campaign beside
// it at the lowest priority: seconds, then the peak of the summed PSS of all processes
// (shared library pages counted once), in MB, after / before:
//   jpg75   2.14-2.18 / 2.00-2.12 s (+2 to +9 %)   78-81 / 55-63 MB
//   to-bmp  4.01 / 4.33 s (-8 %)                   188 / 280 MB
//   resize  3.23 / 3.16 s (+2 %)                   135 / 131 MB
//   to-tiff 15.16 / 17.17 s (-12 %)                205 / 181 MB
//   to-gif  14.78 / 15.67 s (-6 %)                 254 / 230 MB
//   to-png  21.51 / 23.46 s (-8 %)                 267 / 269 MB
//   to-webp 27.94 / 28.30 s (-1 %)                 226 / 227 MB
//   to-avif 31.13 / 30.49 s (+2 %)                 255 / 235 MB
// (jpg75 and to-bmp five runs each, the rest one.) A worker starts libvips without its
// modules and loads HEIF, JPEG XL or PDF support when a picture needs it, and a job launches
// its workers as the items arrive, so they link while the program reads the first files.
// What the workers still cost is fixed per process: each links the same 153 libraries
// (about 40 ms) and keeps its own private pages of them (about 5 MB) and its own heap, which
// weighs on a light workload like jpg75, whose whole run takes 55-63 MB before workers. The
// largest single process is smaller than before workers on every workload.

#include "jobs/imageservice/ImageService.h"
#include "jobs/worker/ItemWorker.h"

int main(int argc, char** argv)
{
    // Before anything starts a thread. ImageMagick's and OpenSlide's modules are never
    // needed here; HEIF, JPEG XL and PDF come when a picture asks. libvips starts 20-40 ms
    // sooner without them (vips --version: 0.04-0.06 s against 0.07-0.08 s with them).
    quarbel::imageservice::loadModulesWhenNeeded();
    quarbel::imageservice::setDecoderTrust(quarbel::imageservice::DecoderTrust::Confined);
    quarbel::imageservice::setPicturesAtOnce(quarbel::imageservice::PicturesAtOnce::One);
    return quarbel::platform::sandbox::runWorker(
        argc, argv,
        [](std::string_view operation, std::span<const std::uint8_t> input,
           quarbel::platform::sandbox::SharedBuffer& output) {
            return quarbel::jobs::worker::serve(operation, input, output);
        },
        [] { quarbel::imageservice::initialize(); });
}
