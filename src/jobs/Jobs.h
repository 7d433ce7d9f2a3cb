#pragma once
// The two batch jobs. Each reads the front end's state through JobInputs and reports through
// JobView (JobHost.h), and returns what became of the run.
//
// The heavy work of an item (loading, decoding, processing, encoding) may run on worker
// threads, several items at once; everything the front end sees still happens in list order
// on the calling thread: one item after the other, outputs written in list order, the view
// updated once per item, Cancel taking effect between items.
//
// While the calling thread waits for an item's work or its write, the frame calls
// JobView::waitUntil; JobFrame.h tells how the threads of a job work together.

#include "jobs/JobHost.h"

#include <functional>

namespace quarbel::jobs {

// Whether the pictures' EXIF, XMP and IPTC data go into the outputs that can hold them.
enum class Metadata { Keep, Strip };

struct RunOptions {
    int jobs = 0;  // items worked on at once; 0 = the number of cores
    Metadata metadata = Metadata::Keep;
};

// Converts every listed image into the format of formatText() (Combo1).
JobSummary ConvertImages(JobInputs& inputs, JobView& view, const RunOptions& options = {});

// Scales every listed image to widthText() x heightText() (txtWidth, txtHeight).
JobSummary ResizeImages(JobInputs& inputs, JobView& view, const RunOptions& options = {});

// A ready-made JobView::waitUntil: runs the calling thread's events, sleeping in the event
// dispatcher until ready() is true. Works on any thread with an event dispatcher; without
// one it yields the processor between checks.
void waitWithEvents(const std::function<bool()>& ready);

}  // namespace quarbel::jobs
