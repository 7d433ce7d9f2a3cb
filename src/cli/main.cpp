// quarbel-batch: converts or resizes a batch of images from a shell, through the same job
// frame as the window.

#include "cli/BatchFrontEnd.h"
#include "cli/BatchOptions.h"
#include "cli/Console.h"
#include "cli/RunReport.h"
#include "cli/Shards.h"
#include "cli/SourceLists.h"
#include "cli/ZipOutput.h"
#include "jobs/Jobs.h"
#include "jobs/PathNames.h"
#include "jobs/WorkerSettings.h"
#include "jobs/imageservice/ImageService.h"

#include <QCoreApplication>
#include <cstdio>
#include <memory>

using namespace quarbel;

namespace {

// Ends the report: the items a cancel left undone, then the summary. A report that could not
// be written completely makes a clean run's status 1.
int finishReport(cli::RunReport& report, const cli::BatchOptions& options, const QStringList& share,
                 qsizetype listed, const jobs::JobSummary& summary, const QString& refusal, int status)
{
    if (summary.end == jobs::JobSummary::End::Cancelled) {
        for (qsizetype i = report.itemsReported(); i < share.size(); ++i)
            report.cancelled(share[i],
                             jobs::outputPath(options.destination, cli::outputName(options, share[i])));
    }
    cli::RunEnd end;
    end.end = summary.end;
    end.exitStatus = status;
    if (options.shard)
        end.shard = QStringLiteral("%1/%2").arg(options.shard->index).arg(options.shard->count);
    end.listed = static_cast<int>(listed);
    end.items = static_cast<int>(share.size());
    if (summary.end == jobs::JobSummary::End::Refused)
        end.reason = refusal;
    report.summary(end);
    if (report.complete())
        return status;
    std::fprintf(stderr, "quarbel-batch: the report is incomplete: %s\n",
                 report.error().toLocal8Bit().constData());
    return status == 0 ? 1 : status;
}

}  // namespace

int main(int argc, char** argv)
{
    // Pictures are decoded in worker processes; the few libvips modules this process may
    // still use are loaded when first needed, not all as it starts.
    quarbel::imageservice::loadModulesWhenNeeded();
    // The workers' zygote is a copy of this program made now, while it has one thread and
    // nothing read yet; it starts libvips while the sources are listed and read.
    jobs::startWorkerZygote();
    QCoreApplication app(argc, argv);
    const cli::ParseResult parsed = cli::parseArguments(app.arguments().mid(1));
    if (const auto* info = std::get_if<cli::InfoRequest>(&parsed)) {
        const QString text = *info == cli::InfoRequest::Help ? cli::helpText() : cli::versionText();
        std::fputs(text.toLocal8Bit().constData(), stdout);
        if (*info == cli::InfoRequest::Version)
            std::printf("Pictures are decoded in worker processes; confinement: %s\n",
                        jobs::workerConfinementText().c_str());
        return 0;
    }
    if (const auto* error = std::get_if<cli::UsageError>(&parsed)) {
        std::fprintf(stderr, "quarbel-batch: %s\nTry 'quarbel-batch --help'.\n",
                     error->message.toLocal8Bit().constData());
        return 2;
    }
    cli::BatchOptions options = std::get<cli::BatchOptions>(parsed);
    if (const std::optional<cli::UsageError> error = cli::addListedSources(options)) {
        std::fprintf(stderr, "quarbel-batch: %s\n", error->message.toLocal8Bit().constData());
        return 2;
    }
    std::unique_ptr<cli::RunReport> report;
    if (!options.report.isEmpty()) {
        QString error;
        if (!(report = cli::RunReport::open(options.report, error))) {
            std::fprintf(stderr, "quarbel-batch: %s\n", error.toLocal8Bit().constData());
            return 2;
        }
    }

    cli::installInterruptHandler();
    const QStringList listed = cli::collectSources(options);
    const QStringList share = cli::shareOf(listed, options);
    cli::BatchInputs inputs(options, share);
    // Progress goes to standard error, so standard output carries only the run's result, or
    // only the report.
    std::FILE* out = options.report == QLatin1String("-") ? stderr : stdout;
    const cli::ProgressStyle style = options.quiet             ? cli::ProgressStyle::Quiet
                                     : cli::isTerminal(stderr) ? cli::ProgressStyle::UpdatingLine
                                                               : cli::ProgressStyle::Lines;
    cli::BatchView view(style, out, stderr, report.get());
    const jobs::RunOptions run{options.jobs, options.metadata};
    if (report)
        report->start();
    const jobs::JobSummary summary = share.isEmpty() && !listed.isEmpty() ? cli::runEmptyShare(inputs, view)
                                     : options.job == cli::JobKind::Convert
                                         ? jobs::ConvertImages(inputs, view, run)
                                         : jobs::ResizeImages(inputs, view, run);
    int status = cli::exitStatus(summary);
    if (!options.zipArchive.isEmpty())
        status = cli::writeRunArchive(options.zipArchive, summary, status, out, stderr);
    if (report)
        status = finishReport(*report, options, share, listed.size(), summary, view.lastMessage(), status);
    return status;
}
