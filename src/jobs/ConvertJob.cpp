#include "jobs/ConvertJob.h"

#include "jobs/JobFrame.h"
#include "jobs/Jobs.h"
#include "jobs/PathNames.h"
#include "jobs/ThreadBudget.h"

namespace quarbel::jobs {

namespace is = quarbel::imageservice;

const std::array<TargetFormat, 7> kTargetFormats = {{
    {"JPG", ".jpg", is::FormatID::JPEG, true},
    {"PNG", ".png", is::FormatID::PNG, false},
    {"BMP", ".bmp", is::FormatID::BMP, false},
    {"GIF", ".gif", is::FormatID::GIF, false},
    {"TIFF", ".tiff", is::FormatID::TIFF, false},
    {"WEBP", ".webp", is::FormatID::WEBP, true},
    {"AVIF", ".avif", is::FormatID::AVIF, true},
}};

const TargetFormat* findTargetFormat(const QString& formatText)
{
    for (const TargetFormat& row : kTargetFormats) {
        if (formatText == QLatin1String(row.text))
            return &row;
    }
    return nullptr;
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
        const TargetFormat* format = findTargetFormat(in.formatText());
        if (!format)
            return;  // no format set: TargetExtension keeps its earlier value
        in.setTargetExtension(QLatin1String(format->extension));
        process.Filters()(1).Properties("FormatID").Value = std::string(format->formatId);
        if (format->takesQuality) {
            process.Filters()(1).Properties("Quality").Value = in.qualityText().toStdString();
        }
    };
    recipe.mostAtOnce = [](const JobInputs& in) {
        const TargetFormat* format = findTargetFormat(in.formatText());
        return format ? mostWorkersFor(format->formatId) : 0;
    };
    recipe.outputName = [](const QString& source, const JobInputs& in) {
        return baseName(source) + in.targetExtension();
    };
    return runJob(recipe, inputs, view, options);
}

}  // namespace quarbel::jobs
