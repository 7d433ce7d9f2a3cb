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
// (ImageFile::LoadView), not copied. Per picture libvips made about 70 futex calls (its thread
// pool and write-behind thread) and rebuilt the EXIF block with libexif: 0.55 ms of processor
// time for a 64 x 64 PNG to JPG, against 0.05 ms for libpng and libjpeg alone. So a plain PNG
// of at most 512 x 512 to JPG now skips libvips (imageservice/vips/SmallPng.h), byte for byte
// the same file. bench/run small (2,000 PNGs of 64 x 64 to JPG q75, RUNS=3, quiet machine):
// 0.29 s, against 1.77 s for the program before workers and 0.79 s for ImageMagick's mogrify
// in one process (0.37 x); before the direct path, 1.16 s. Both programs spend much of it in
// ext4, which takes 0.3-0.5 ms to make each new file when many were deleted lately
// (find_inode_bit, recently_deleted: as between bench runs); the output files are made ahead
// on a thread of their own (platform/files/SpareFiles.h).
// large (5 JPEGs of 24-36 MP, RUNS=3, measured earlier under a load of 3.5-5.6 from builds):
// 1.14 s / 0.96 s, 137 / 102 MB peak PSS.
//
// Workers are copies of one zygote (platform/sandbox/Zygote.h), which starts libvips once;
// each worker is a copy that shares those pages and starts in about a millisecond, instead
// of 30-40 ms of exec and linking with 4 MB of relocated library data of its own. quarbel and
// quarbel-batch link this code and make the zygote a copy of themselves first thing in main
// (their own 153 libraries are linked by then); other programs start quarbel-worker --zygote. A worker
// keeps one malloc arena (it works on one picture), and its finished file moves into shared
// memory a stretch at a time, its own copy given back as it goes (SharedBuffer::take).
//
// bench/run against the program before workers (060bdad) on a quiet machine, with the zygote a
// copy of the program; seconds (jpg75, to-bmp and resize RUNS=5, the rest 1), after / before:
//   jpg75 1.88 / 1.82 (+3 %)    to-bmp 5.69 / 5.69 (0 %)     resize 2.68 / 2.67 (0 %)
//   to-tiff 13.52 / 13.59 (-1 %) to-gif 13.16 / 13.21 (0 %)  to-png 20.79 / 20.86 (0 %)
//   to-webp 25.09 / 25.12 (0 %)                              to-avif 27.06 / 26.93 (0 %)
// and the peak of the summed PSS of all processes (shared library pages counted once, read
// every 100 ms), in MB, after / before:
//   jpg75 74 / 90   to-bmp 192 / 271   resize 173 / 164 (+5 %)   to-tiff 188 / 204
//   to-gif 211 / 248   to-png 254 / 286   to-webp 244 / 248   to-avif 260 / 267
// The same output bytes on every workload. jpg75, fifteen runs of each taking turns: median
// 1.885 s against 1.856 s (+1.6 %). Earlier, with the zygote an exec'd quarbel-worker and a
// fuzz target beside (PSS read every 20 ms, PSS_EVERY=1): jpg75 73 / 70 MB, to-bmp 185 / 262,
// resize 163 / 179, to-tiff 190 / 202, to-gif 242 / 241, to-png 248 / 271, to-webp 254 / 251,
// to-avif 261 / 259.
// The one arena took jpg75 from 94-100 MB to
// 82-84 MB (10 ms samples), the zygote to 80-82 MB; the moved outputs took to-tiff from
// 204-210 MB to 198-199 MB. The largest single process is smaller than before workers on
// every workload.
// jpg75 again on a quiet machine (RUNS=11): 1.78 / 1.71 s (+4 %) while the zygote was an
// exec'd quarbel-worker: perf trace showed its first worker forked 36 ms after its exec,
// most of it dynamic linking (symbol look-ups), where the program before workers started
// decoding at once. With the zygote a copy of the program, the first worker comes 38 ms after
// the program's exec instead of 68 ms; jpg75 (RUNS=11, three times): 1.77 / 1.76 s,
// 1.79 / 1.77 s, 1.82 / 1.77 s (+0.6 %, +1.1 %, +2.8 %). The rest, about 1.4 ms an item, is
// the hand-over of each source and result.

#include "jobs/worker/WorkerEntry.h"

int main(int argc, char** argv)
{
    return quarbel::jobs::worker::runWorkerProcess(argc, argv);
}
