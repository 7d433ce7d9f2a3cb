#pragma once
// What quarbel-worker runs: the worker (or zygote) that decodes, processes and encodes the
// pictures of a job and the window's previews. The executable's main calls it; so does the
// program's own copy of itself when it is made the zygote (jobs/WorkerSettings.h).

namespace quarbel::jobs::worker {

// Returns the process's exit status. Must run before the process starts any thread.
int runWorkerProcess(int argc, char** argv);

}  // namespace quarbel::jobs::worker
