#include "jobs/JobFrame.h"
#include "jobs/Jobs.h"
#include "jobs/PathNames.h"

namespace quarbel::jobs {

namespace is = quarbel::imageservice;

JobSummary ResizeImages(JobInputs& inputs, JobView& view, const RunOptions& options)
{
    JobRecipe recipe;
    recipe.emptyListMessage = QStringLiteral(" No image files to Resize. Please try again.");
    recipe.cancelTitle = QStringLiteral("Image Resizing");
    recipe.cancelledText = QStringLiteral(" Image resizing cancelled...");
    recipe.furtherChecks = [](const JobInputs& in) {
        if (in.widthText() == QLatin1String("0"))
            return QStringLiteral(" Invalid Image Width. Please try again.");
        if (in.heightText() == QLatin1String("0"))
            return QStringLiteral(" Invalid Image Height. Please try again.");
        return QString();
    };
    recipe.setupFilter = [metadata = options.metadata](is::ImageProcess& process, JobInputs& in) {
        process.Filters().Add(process.FilterInfos("Scale").FilterID(), 0);
        is::Filter& scale = process.Filters()(1);
        if (metadata == Metadata::Strip)
            scale.Properties("KeepMetadata").Value = false;
        scale.Properties("PreserveAspectRatio").Value = false;
        scale.Properties("MaximumWidth").Value = in.widthText().toStdString();
        scale.Properties("MaximumHeight").Value = in.heightText().toStdString();
    };
    recipe.outputName = [](const QString& source, const JobInputs&) { return fileName(source); };
    return runJob(recipe, inputs, view, options);
}

}  // namespace quarbel::jobs
