// quarbel-worker: decodes, processes and encodes the pictures of a job for quarbel and
// quarbel-batch, confined (see platform/sandbox/Confinement.h). Not for people to run: the
// programs start it with its socket as descriptor 3.
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
