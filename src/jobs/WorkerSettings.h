#pragma once
// The worker processes that parse a job's pictures: which program they run and the limits
// each one works under.

#include "platform/sandbox/WorkerProcess.h"

namespace quarbel::jobs {

// quarbel-worker: installed beside the running program, else the one of this build.
std::string workerProgram();
// Puts another worker program in its place for the jobs started afterwards (tests give one
// whose decoder misbehaves); "" goes back to quarbel-worker.
void setWorkerProgram(const std::string& program);

// Starts the zygote the workers are made from (platform/sandbox/Zygote.h) now, so that it
// starts while the program does its own start-up; else the first worker starts it. Called
// first thing in main, before the program has a thread, it makes the zygote a copy of the
// program, which needs no exec and no linking of its own.
void startWorkerZygote();

// A worker may use half the machine's memory (so that a picture asking for endless memory
// fails before the machine swaps) and five minutes for one item: the largest pictures the
// pixel limit lets through take seconds.
platform::sandbox::WorkerOptions jobWorkerOptions();

// The window's preview workers: the same limits, but a preview that takes longer than a
// minute is given up (the largest pictures the pixel limit lets through take seconds).
platform::sandbox::WorkerOptions previewWorkerOptions();

// How the workers are confined on this machine, for --version and the log: one worker is
// started to ask. "seccomp, Landlock (ABI 7), ..." or why no worker starts.
std::string workerConfinementText();

}  // namespace quarbel::jobs
