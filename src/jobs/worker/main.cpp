// quarbel-worker: decodes, processes and encodes the pictures of a job for quarbel and
// quarbel-batch, confined (see platform/sandbox/Confinement.h). Not for people to run: the
// programs start it with its socket as descriptor 3.

#include "jobs/worker/ItemWorker.h"

int main(int argc, char** argv)
{
    return quarbel::platform::sandbox::runWorker(argc, argv, quarbel::jobs::worker::workItem);
}
