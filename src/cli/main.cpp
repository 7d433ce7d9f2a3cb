// quarbel-batch: converts or resizes a batch of images from a shell, through the same job
// frame as the window.

#include "cli/BatchFrontEnd.h"
#include "cli/BatchOptions.h"
#include "cli/Console.h"
#include "cli/SourceLists.h"
#include "cli/ZipOutput.h"
#include "jobs/Jobs.h"

#include <QCoreApplication>
#include <cstdio>

using namespace quarbel;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const cli::ParseResult parsed = cli::parseArguments(app.arguments().mid(1));
    if (const auto* info = std::get_if<cli::InfoRequest>(&parsed)) {
        const QString text = *info == cli::InfoRequest::Help ? cli::helpText() : cli::versionText();
        std::fputs(text.toLocal8Bit().constData(), stdout);
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

    cli::installInterruptHandler();
    cli::BatchInputs inputs(options, cli::collectSources(options));
    // Progress goes to standard error, so standard output carries only the run's result.
    const cli::ProgressStyle style = options.quiet             ? cli::ProgressStyle::Quiet
                                     : cli::isTerminal(stderr) ? cli::ProgressStyle::UpdatingLine
                                                               : cli::ProgressStyle::Lines;
    cli::BatchView view(style, stdout, stderr);
    const jobs::RunOptions run{options.jobs, options.metadata};
    const jobs::JobSummary summary = options.job == cli::JobKind::Convert
                                         ? jobs::ConvertImages(inputs, view, run)
                                         : jobs::ResizeImages(inputs, view, run);
    const int status = cli::exitStatus(summary);
    if (options.zipArchive.isEmpty())
        return status;
    return cli::writeRunArchive(options.zipArchive, summary, status, stdout, stderr);
}
