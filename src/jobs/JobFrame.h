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

#include "jobs/JobHost.h"
#include "jobs/JobRecipe.h"
#include "jobs/Jobs.h"

namespace quarbel::jobs {

inline const QString kErrorTitle = QStringLiteral("Error");
inline const QString kNoSourceMessage = QStringLiteral(" Please select source directory.");
inline const QString kNoDestinationMessage =
    QStringLiteral(" Please select destination directory.");
inline const QString kMissingDestinationMessage =
    QStringLiteral("Destination directory does not exist. Please try again.");
inline const QString kCancelQuestion = QStringLiteral("Do you want to cancel?");
inline const QString kProcessingText = QStringLiteral("Processing...");
inline const QString kFinishedText = QStringLiteral("Finished.");

// "Finished." when nothing failed, else "Finished. k of n files failed."
QString finishedText(int failed, int total);

JobSummary runJob(const JobRecipe& recipe, JobInputs& inputs, JobView& view,
                  const RunOptions& options);

}  // namespace quarbel::jobs
