#include "jobs/ConvertJob.h"

#include "jobs/JobFrame.h"
#include "jobs/Jobs.h"
#include "jobs/PathNames.h"
#include "jobs/ThreadBudget.h"
#include "platform/sandbox/SystemFacts.h"

namespace quarbel::jobs {

namespace is = quarbel::imageservice;

const formats::Row* findTargetFormat(const QString& formatText)
{
    return formats::rowOfListText(formatText.toStdString());
}

JobSummary ConvertImages(JobInputs& inputs, JobView& view, const RunOptions& options)
{
    JobRecipe recipe;
    recipe.emptyListMessage = QStringLiteral(" No image files to Convert. Please try again.");
    recipe.cancelTitle = QStringLiteral("Image Conversion");
    recipe.cancelledText = QStringLiteral(" Image conversion cancelled...");
    recipe.setupFilter = [metadata = options.metadata](is::ImageProcess& process, JobInputs& in) {
        process.Filters().Add(process.FilterInfos("Convert").FilterID(), 0);
        if (metadata == Metadata::Strip)
            process.Filters()(1).Properties("KeepMetadata").Value = false;
        const formats::Row* format = findTargetFormat(in.formatText());
        if (!format)
            return;  // no format set: TargetExtension keeps its earlier value
        in.setTargetExtension(QLatin1String(format->extension));
        process.Filters()(1).Properties("FormatID").Value = std::string(format->formatId);
        if (format->quality == formats::Quality::Taken) {
            process.Filters()(1).Properties("Quality").Value = in.qualityText().toStdString();
        }
    };
    recipe.mostAtOnce = [](const JobInputs& in) {
        const formats::Row* format = findTargetFormat(in.formatText());
        return format ? mostWorkersFor(format->formatId, platform::sandbox::physicalMemoryBytes()) : 0;
    };
    recipe.outputName = [](const QString& source, const JobInputs& in) {
        return baseName(source) + in.targetExtension();
    };
    return runJob(recipe, inputs, view, options);
}

}  // namespace quarbel::jobs
