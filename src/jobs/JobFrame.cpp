#include "jobs/JobFrame.h"

#include "jobs/ItemPipeline.h"
#include "jobs/PathNames.h"
#include "jobs/Percent.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

namespace quarbel::jobs {
namespace {

namespace is = quarbel::imageservice;

const QString kFileExistsReason = QStringLiteral("the file exists");
const QString kFolderInTheWayReason = QStringLiteral("a folder of that name is in the way");

int workerCount(const RunOptions& options) {
    const int wanted = options.jobs > 0 ? options.jobs : QThread::idealThreadCount();
    return std::clamp(wanted, 1, 64);
}

class JobRun {
public:
    JobRun(const JobRecipe& recipe, JobInputs& in, JobView& view, const RunOptions& options)
        : recipe_(recipe), in_(in), view_(view), workers_(workerCount(options)) {}

    JobSummary run();

private:
    const JobRecipe& recipe_;
    JobInputs& in_;
    JobView& view_;
    const int workers_;
    JobSummary summary_;
    QStringList writtenNormalised_;
    int last_ = -1;
    int nextToStart_ = 0;

    QString validate() const;
    void loop(ItemPipeline& pipeline);
    ItemReport commit(ItemPipeline& pipeline, int index);
    is::Result save(ItemPipeline& pipeline, int index, const is::ImageFile& result, const QString& path,
                    is::SaveMode mode);
    void fill(ItemPipeline& pipeline, int current);
    QString pendingOutput(int index, const QString& folderPrefix) const;
    void afterWrite(ItemPipeline& pipeline, int index, const QString& path);
    void count(const ItemReport& report);
    void waitForWorkers(ItemPipeline& pipeline);
    void endByCancel();
    void complete();
};

QString JobRun::validate() const {
    const bool listEmpty = in_.listCount() <= 0;
    if (listEmpty && in_.sourceText().isEmpty()) return kNoSourceMessage;
    const QString destination = in_.destinationText();
    if (destination.isEmpty()) return kNoDestinationMessage;
    if (!QFileInfo(destination).isDir()) return kMissingDestinationMessage;
    if (listEmpty) return recipe_.emptyListMessage;
    return recipe_.furtherChecks ? recipe_.furtherChecks(in_) : QString();
}

JobSummary JobRun::run() {
    if (const QString message = validate(); !message.isEmpty()) {
        view_.showMessage(message, kErrorTitle, MessageIcon::Information, MessageButtons::Ok);
        summary_.end = JobSummary::End::Refused;
        view_.jobEnded(summary_);
        return summary_;
    }

    const int itemCount = in_.listCount();
    summary_.total = itemCount;
    view_.setProgressVisible(true);
    view_.setProgressMax(itemCount);
    view_.setProgressValue(0);

    is::initialize();
    is::ImageProcess process;
    recipe_.setupFilter(process, in_);
    in_.setCancelRequested(false);
    view_.setCancelEnabled(true);
    last_ = itemCount - 1;

    ItemPipeline pipeline(process, workers_);
    loop(pipeline);
    view_.jobEnded(summary_);
    return summary_;
}

void JobRun::loop(ItemPipeline& pipeline) {
    for (int index = 0; index <= last_; ++index) {
        view_.setControlsEnabled(false);
        if (in_.cancelRequested()) {
            const MessageAnswer answer = view_.showMessage(
                kCancelQuestion, recipe_.cancelTitle, MessageIcon::Question, MessageButtons::YesNo);
            if (answer == MessageAnswer::Yes) {
                pipeline.discardAll();
                waitForWorkers(pipeline);
                endByCancel();
                return;
            }
            in_.setCancelRequested(false);
        }
        view_.setStatusText(1, kProcessingText);
        view_.setStatusText(2, QString());
        view_.setStatusText(3, QString());
        const int n = index + 1;
        const int percent = percentOf(n, std::max(in_.listCount(), n));

        const ItemReport report = commit(pipeline, index);
        count(report);
        view_.itemDone(report);

        view_.setPercentVisible(true);
        view_.setPercentCaption(QString::number(percent) + QLatin1Char('%'));
        view_.setProgressColor(kProgressGreen);
        view_.setProgressValue(n);
        view_.processEvents();
    }
    waitForWorkers(pipeline);
    complete();
}

// Writes one item's output, or decides that it is skipped or failed.
ItemReport JobRun::commit(ItemPipeline& pipeline, int index) {
    ItemReport report;
    report.index = index;
    report.source = in_.listItem(index);
    fill(pipeline, index);

    std::shared_ptr<ItemWork> work = pipeline.find(index);
    bool keepExisting = false;
    for (;;) {
        if (work && !work->done.load(std::memory_order_acquire)) {
            // Workers that finish meanwhile get the next items.
            view_.waitUntil([&] {
                if (work->done.load(std::memory_order_acquire)) return true;
                if (pipeline.running() < workers_) fill(pipeline, index);
                return false;
            });
        }
        const QString path =
            outputPath(in_.destinationText(), recipe_.outputName(report.source, in_));
        keepExisting = in_.doNotOverwrite();
        report.output = path;
        const QFileInfo target(path);
        if (target.isDir()) {
            pipeline.discard(index);
            report.outcome = ItemOutcome::Failed;
            report.reason = kFolderInTheWayReason;
            return report;
        }
        if (keepExisting && target.exists()) {
            pipeline.discard(index);
            report.outcome = ItemOutcome::Skipped;
            report.reason = kFileExistsReason;
            return report;
        }
        if (!work) {
            // Not started ahead (it looked like a skip, or it had to wait for an earlier item).
            pipeline.start(index, report.source, sourceSpellings(report.source));
            work = pipeline.find(index);
            continue;
        }
        break;
    }

    pipeline.take(index);
    if (!work->outcome) {
        report.outcome = ItemOutcome::Failed;
        report.reason = QString::fromStdString(work->outcome.reason);
        return report;
    }
    const is::Result saved = save(pipeline, index, work->result, report.output,
                                  keepExisting ? is::SaveMode::FailIfExists : is::SaveMode::ReplaceExisting);
    if (saved) {
        report.outcome = ItemOutcome::Written;
        afterWrite(pipeline, index, report.output);
    } else if (keepExisting && QFileInfo::exists(report.output)) {
        report.outcome = ItemOutcome::Skipped;
        report.reason = kFileExistsReason;
    } else {
        report.outcome = ItemOutcome::Failed;
        report.reason = QString::fromStdString(saved.reason);
    }
    return report;
}

// Writes an item's output on a thread of its own while this one keeps the workers supplied:
// a worker that finished during a large write otherwise sat idle until the write was done.
// The next item is still committed only after this write.
is::Result JobRun::save(ItemPipeline& pipeline, int index, const is::ImageFile& result, const QString& path,
                        is::SaveMode mode) {
    const std::string target = QFile::encodeName(path).toStdString();
    is::Result saved;
    std::atomic<bool> written{false};
    auto write = [&] {
        try {
            saved = result.SaveFile(target, mode);
        } catch (const std::exception& e) {
            saved = is::Result::failure(e.what());
        }
        written.store(true, std::memory_order_release);
        pipeline.wake();
    };
    std::thread writer;
    try {
        writer = std::thread(write);
    } catch (const std::system_error&) {
        write();  // no thread to be had: write here
        return saved;
    }
    view_.waitUntil([&] {
        if (written.load(std::memory_order_acquire)) return true;
        if (pipeline.running() < workers_) fill(pipeline, index);
        return false;
    });
    writer.join();
    return saved;
}

// The normalised output path of an item; folderPrefix is the normalised destination ending
// in "/".
QString JobRun::pendingOutput(int index, const QString& folderPrefix) const {
    return folderPrefix + recipe_.outputName(in_.listItem(index), in_);
}

// Starts work for the items after the current one while a worker is free, as long as the
// finished results waiting for their turn stay small (a few large BMP or TIFF files) and
// the number of items ahead stays bounded. An
// item whose source is where an earlier, uncommitted item will write waits until that item
// is committed; an item whose output already exists while existing files are kept is not
// worked on ahead (its commit decides).
void JobRun::fill(ItemPipeline& pipeline, int current) {
    const int maxInFlight = 3 * workers_ + 1;
    constexpr std::size_t kHeldBytes = 64u << 20;
    const int horizon = std::min(last_, current + maxInFlight + 16);
    QString destination = normalisedFolder(in_.destinationText());
    if (!destination.endsWith(QLatin1Char('/'))) destination += QLatin1Char('/');
    const bool keepExisting = in_.doNotOverwrite();
    QStringList pending;  // normalised outputs of items current .. j-1
    for (int j = current; j < std::max(current, nextToStart_); ++j) {
        pending.append(pendingOutput(j, destination));
    }
    int j = std::max(current, nextToStart_);
    for (; j <= horizon; ++j) {
        if (pipeline.find(j)) {
            pending.append(pendingOutput(j, destination));
            continue;
        }
        if (pipeline.running() >= workers_ || pipeline.inFlight() >= maxInFlight ||
            pipeline.heldBytes() >= kHeldBytes) {
            break;
        }
        const QString source = in_.listItem(j);
        const QStringList spellings = sourceSpellings(source);
        if (std::any_of(spellings.begin(), spellings.end(),
                        [&pending](const QString& s) { return pending.contains(s); })) {
            break;
        }
        const QString output = pendingOutput(j, destination);
        const bool likelySkipped =
            keepExisting && (QFileInfo::exists(output) || pending.contains(output));
        pending.append(output);
        if (!likelySkipped) pipeline.start(j, source, spellings);
    }
    nextToStart_ = j;
}

// Work already started from the file just written read its old content: redo it.
void JobRun::afterWrite(ItemPipeline& pipeline, int index, const QString& path) {
    const QString written = normalisedPath(path);
    for (const int j : pipeline.started()) {
        if (j > index && pipeline.find(j)->sourceSpellings.contains(written)) {
            pipeline.discard(j);
            nextToStart_ = std::min(nextToStart_, j);
        }
    }
}

void JobRun::count(const ItemReport& report) {
    switch (report.outcome) {
    case ItemOutcome::Written: {
        ++summary_.written;
        const QString normalised = normalisedPath(report.output);
        if (const qsizetype at = writtenNormalised_.indexOf(normalised); at >= 0) {
            writtenNormalised_.removeAt(at);
            summary_.writtenFiles.removeAt(at);
        }
        writtenNormalised_.append(normalised);
        summary_.writtenFiles.append(report.output);
        break;
    }
    case ItemOutcome::Skipped:
        ++summary_.skipped;
        break;
    case ItemOutcome::Failed:
        ++summary_.failed;
        summary_.failures.append(report);
        break;
    }
}

void JobRun::waitForWorkers(ItemPipeline& pipeline) {
    if (!pipeline.idle()) view_.waitUntil([&pipeline] { return pipeline.idle(); });
}

void JobRun::endByCancel() {
    view_.setStatusText(1, recipe_.cancelledText);
    view_.setStatusText(2, QString());
    view_.setStatusText(3, QString());
    view_.setPercentVisible(false);
    view_.setProgressValue(0);
    view_.setProgressColor(kProgressWhite);
    view_.setControlsEnabled(true);
    summary_.end = JobSummary::End::Cancelled;
}

void JobRun::complete() {
    view_.setStatusText(1, finishedText(summary_.failed, summary_.total));
    view_.setStatusText(2, QString());
    view_.setStatusText(3, QString());
    view_.setCancelEnabled(false);
    view_.setControlsEnabled(true);
    summary_.end = JobSummary::End::Finished;
}

}  // namespace

QString finishedText(int failed, int total) {
    if (failed == 0) return kFinishedText;
    return QStringLiteral("Finished. %1 of %2 files failed.").arg(failed).arg(total);
}

JobSummary runJob(const JobRecipe& recipe, JobInputs& inputs, JobView& view,
                  const RunOptions& options) {
    return JobRun(recipe, inputs, view, options).run();
}

}  // namespace quarbel::jobs
