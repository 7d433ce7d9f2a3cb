#pragma once
// What a job puts into the batch job frame: its texts, its further input checks, the set-up
// of its Image Service filter and the output name of an item.

#include "jobs/JobHost.h"
#include "jobs/imageservice/ImageService.h"

#include <QString>
#include <functional>

namespace quarbel::jobs {

struct JobRecipe {
    QString emptyListMessage;  // shown when the list is empty
    QString cancelTitle;       // title of the "Do you want to cancel?" question
    QString cancelledText;     // status panel 1 after a cancel
    // Checks after the frame's own; returns the message of the first that fails, or "".
    std::function<QString(const JobInputs&)> furtherChecks;
    // Adds the job's filter to the process and sets its parameters, once per run.
    std::function<void(imageservice::ImageProcess&, JobInputs&)> setupFilter;
    // The most pictures worked on at once for these inputs; 0 (or unset) for as many as the
    // run allows.
    std::function<int(const JobInputs&)> mostAtOnce;
    // The output file name of a list item (without the folder).
    std::function<QString(const QString& source, const JobInputs&)> outputName;
};

}  // namespace quarbel::jobs
