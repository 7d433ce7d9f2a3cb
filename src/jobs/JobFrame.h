#pragma once
// The batch job frame shared by ConvertImages and ResizeImages: validation, preparation,
// the loop over the list with progress and cancel, and the end of the run.
//
// An item is committed in list order on the calling thread: its output path is built from
// the destination text read at that moment, "Do not overwrite files" is read at that moment,
// and the encoded result is written then. An existing output is replaced only by a complete
// new file (atomic replace); with "Do not overwrite files" an existing file is kept and the
// item counts as skipped. A failed item leaves every file as it was, is listed with its
// reason, and the run goes on.
//
// How a job runs, thread by thread:
// - The calling thread (the user-interface thread in the window) runs the frame: it checks
//   the inputs, commits the items one after another in list order, updates the view and
//   reads Cancel between items. It never decodes or encodes a picture itself.
// - A pool of workers (ItemPipeline: --jobs threads, the number of cores by default) works
//   items ahead of the one being committed, each into a finished file in memory. A thread
//   reads its item's source and hands the bytes, in shared memory, to a free one of the
//   job's as many worker processes (quarbel-worker, confined before it sees a byte:
//   platform/sandbox; each a copy of the program's zygote, Zygote.h), which decodes, processes and encodes them and gives back the finished
//   file; a picture that crashes or hangs its worker fails that item only, and the next item
//   gets a fresh worker. Small sources travel to a worker several in one message (a batch,
//   ItemPipeline.h); a picture that kills the worker in a batch still fails alone. How far
//   ahead is bounded: at most 3 x workers + 1 items in flight (kBatchItems times as many
//   small ones) and 64 MB of finished files waiting. An item whose source an earlier,
//   uncommitted item will write waits until that item is committed; work whose source was
//   rewritten after it began is discarded and redone; an item whose work was taken for
//   committing is never started again.
// - One long-lived writer thread (OutputWriter) writes the committed item's file, atomically,
//   while the calling thread keeps the workers supplied. The next item is committed only
//   after the write, so files appear in list order.
// - Whenever the calling thread waits (for an item's work or for the writer) it waits with
//   events, through JobView::waitUntil: workers and the writer wake it when they finish (the
//   event dispatcher's wakeUp, or a condition variable without one), so the window stays
//   responsive without polling. Should waiting throw, the writer finishes the file in hand
//   and its thread is joined, and the workers run out before the exception leaves runJob.
// - Cancel: a request made while the calling thread waits for an item's work ends the wait,
//   and the question is asked then, not after the item. Yes cancels every work in flight
//   by killing the worker process that has it, so even a 36-megapixel picture stops at
//   once. The cancelled text is shown first, then the workers are waited for with events;
//   nothing of cancelled work is written.
// - How many workers, how many libvips threads each picture gets and why an AVIF job runs
//   one worker: the thread budget, ThreadBudget.h, the one place that decides it. The worker
//   processes are told the threads per picture with every item.

#include "jobs/JobHost.h"
#include "jobs/JobRecipe.h"
#include "jobs/Jobs.h"

namespace quarbel::jobs {

inline const QString kErrorTitle = QStringLiteral("Error");
inline const QString kNoSourceMessage = QStringLiteral(" Please select source directory.");
inline const QString kNoDestinationMessage = QStringLiteral(" Please select destination directory.");
inline const QString kMissingDestinationMessage =
    QStringLiteral("Destination directory does not exist. Please try again.");
inline const QString kCancelQuestion = QStringLiteral("Do you want to cancel?");
inline const QString kProcessingText = QStringLiteral("Processing...");
inline const QString kFinishedText = QStringLiteral("Finished.");

// "Finished." when nothing failed, else "Finished. k of n files failed."
QString finishedText(int failed, int total);

JobSummary runJob(const JobRecipe& recipe, JobInputs& inputs, JobView& view, const RunOptions& options);

}  // namespace quarbel::jobs
