#include "jobs/JobFrame.h"

#include "jobs/FileKeys.h"
#include "jobs/ItemPipeline.h"
#include "jobs/OutputWriter.h"
#include "jobs/PathNames.h"
#include "jobs/Percent.h"
#include "jobs/ThreadBudget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

namespace quarbel::jobs {
namespace {

namespace is = quarbel::imageservice;

const QString kFileExistsReason = QStringLiteral("the file exists");
const QString kFolderInTheWayReason = QStringLiteral("a folder of that name is in the way");

// libvips' threads per picture for the length of a job (ThreadBudget.h). The setting belongs
// to the whole process (the window's preview uses it too), so it is put back when the job ends.
class ThreadsPerImage {
public:
    explicit ThreadsPerImage(int threads) : m_before(is::threadsPerImage())
    {
        is::setThreadsPerImage(threads);
    }
    ~ThreadsPerImage() { is::setThreadsPerImage(m_before); }
    ThreadsPerImage(const ThreadsPerImage&) = delete;
    ThreadsPerImage& operator=(const ThreadsPerImage&) = delete;

private:
    int m_before;
};

// A source's size in bytes, 0 when it cannot be told: it decides whether the source travels
// to a worker alone or in a batch.
std::uint64_t sizeOf(const QString& source)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(QFile::encodeName(source).toStdString(), error);
    return error ? 0 : size;
}

ThreadBudget budgetOf(const RunOptions& options, const JobRecipe& recipe, const JobInputs& in)
{
    return threadBudget(QThread::idealThreadCount(), options.jobs,
                        recipe.mostAtOnce ? recipe.mostAtOnce(in) : 0);
}

class JobRun {
public:
    JobRun(const JobRecipe& recipe, JobInputs& in, JobView& view, const RunOptions& options)
        : m_recipe(recipe),
          m_in(in),
          m_view(view),
          m_budget(budgetOf(options, recipe, in)),
          m_workers(m_budget.workers)
    {}

    JobSummary run();

private:
    const JobRecipe& m_recipe;
    JobInputs& m_in;
    JobView& m_view;
    const ThreadBudget m_budget;
    const int m_workers;
    JobSummary m_summary;
    FileKeys m_keys;
    QList<QStringList> m_writtenKeys;  // of m_summary.writtenFiles, in the same order
    QSet<QString> m_allWrittenKeys;    // every key ever in m_writtenKeys
    int m_last = -1;
    int m_nextToStart = 0;
    struct PendingOutput {
        QString path;
        QStringList keys;
    };
    std::map<int, PendingOutput> m_outputs;  // of the items ahead, for fill
    QString m_outputsFor;                    // the destination text they were made with

    QString validate() const;
    void loop(ItemPipeline& pipeline, OutputWriter& writer);
    bool stopOnRequest(ItemPipeline& pipeline);
    std::optional<ItemReport> commit(ItemPipeline& pipeline, OutputWriter& writer, int index);
    is::Result save(ItemPipeline& pipeline, OutputWriter& writer, int index,
                    const std::shared_ptr<ItemWork>& work, const QString& path, is::SaveMode mode);
    void fill(ItemPipeline& pipeline, int current);
    QString pendingOutput(int index) const;
    void afterWrite(ItemPipeline& pipeline, int index, const QString& path);
    void count(const ItemReport& report);
    void waitForWorkers(ItemPipeline& pipeline);
    void endByCancel();
    void complete();
};

QString JobRun::validate() const
{
    const bool listEmpty = m_in.listCount() <= 0;
    if (listEmpty && m_in.sourceText().isEmpty())
        return kNoSourceMessage;
    const QString destination = m_in.destinationText();
    if (destination.isEmpty())
        return kNoDestinationMessage;
    if (!QFileInfo(destination).isDir())
        return kMissingDestinationMessage;
    if (listEmpty)
        return m_recipe.emptyListMessage;
    return m_recipe.furtherChecks ? m_recipe.furtherChecks(m_in) : QString();
}

JobSummary JobRun::run()
{
    if (const QString message = validate(); !message.isEmpty()) {
        m_view.showMessage(message, kErrorTitle, MessageIcon::Information, MessageButtons::Ok);
        m_summary.end = JobSummary::End::Refused;
        m_view.jobEnded(m_summary);
        return m_summary;
    }

    const int itemCount = m_in.listCount();
    m_summary.total = itemCount;
    m_view.setProgressVisible(true);
    m_view.setProgressMax(itemCount);
    m_view.setProgressValue(0);

    is::initialize();
    is::ImageProcess process;
    m_recipe.setupFilter(process, m_in);
    m_in.setCancelRequested(false);
    m_view.setCancelEnabled(true);
    m_last = itemCount - 1;

    const ThreadsPerImage threads(m_budget.threadsPerPicture);
    ItemPipeline pipeline(process, m_workers);
    OutputWriter writer([&pipeline] { pipeline.wake(); });  // gone before the pipeline
    loop(pipeline, writer);
    m_view.jobEnded(m_summary);
    return m_summary;
}

void JobRun::loop(ItemPipeline& pipeline, OutputWriter& writer)
{
    for (int index = 0; index <= m_last; ++index) {
        m_view.setControlsEnabled(false);
        if (stopOnRequest(pipeline))
            return;
        m_view.setStatusText(1, kProcessingText);
        m_view.setStatusText(2, QString());
        m_view.setStatusText(3, QString());
        const int n = index + 1;
        const int percent = percentOf(n, std::max(m_in.listCount(), n));

        // A request made while the item is still being worked on is asked about at once
        // rather than after a picture that may take seconds; No goes on waiting for it.
        std::optional<ItemReport> report;
        while (!(report = commit(pipeline, writer, index))) {
            if (stopOnRequest(pipeline))
                return;
        }
        count(*report);
        m_view.itemDone(*report);

        m_view.setPercentVisible(true);
        m_view.setPercentCaption(QString::number(percent) + QLatin1Char('%'));
        m_view.setProgressColor(kProgressGreen);
        m_view.setProgressValue(n);
        m_view.processEvents();
    }
    waitForWorkers(pipeline);
    complete();
}

// Asks the cancel question when Cancel was requested; true when the answer ended the run.
// The work in flight is cancelled and stops within a strip of its picture; the cancelled text
// is shown before the workers are waited for, and nothing of that work is written.
bool JobRun::stopOnRequest(ItemPipeline& pipeline)
{
    if (!m_in.cancelRequested())
        return false;
    const MessageAnswer answer = m_view.showMessage(kCancelQuestion, m_recipe.cancelTitle,
                                                    MessageIcon::Question, MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes) {
        m_in.setCancelRequested(false);
        return false;
    }
    const std::vector<std::shared_ptr<ItemWork>> cancelled = pipeline.discardAll();
    endByCancel();
    waitForWorkers(pipeline);
    m_summary.stopped =
        static_cast<int>(std::count_if(cancelled.begin(), cancelled.end(),
                                       [](const std::shared_ptr<ItemWork>& work) { return work->stopped; }));
    return true;
}

// Writes one item's output, or decides that it is skipped or failed. Nothing when Cancel was
// requested while the item's work was still running: the item is then not committed.
std::optional<ItemReport> JobRun::commit(ItemPipeline& pipeline, OutputWriter& writer, int index)
{
    ItemReport report;
    report.index = index;
    report.source = m_in.listItem(index);
    fill(pipeline, index);

    std::shared_ptr<ItemWork> work = pipeline.find(index);
    bool keepExisting = false;
    for (;;) {
        if (work && !work->done.load(std::memory_order_acquire)) {
            // Workers that finish meanwhile get the next items.
            m_view.waitUntil([&] {
                if (work->done.load(std::memory_order_acquire))
                    return true;
                if (m_in.cancelRequested())
                    return true;
                if (pipeline.hasRoom(0))
                    fill(pipeline, index);
                return false;
            });
            if (!work->done.load(std::memory_order_acquire))
                return std::nullopt;
        }
        const QString path = outputPath(m_in.destinationText(), m_recipe.outputName(report.source, m_in));
        keepExisting = m_in.doNotOverwrite();
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
            pipeline.start(index, report.source, m_keys.sourceKeys(report.source), sizeOf(report.source));
            m_nextToStart = std::max(m_nextToStart, index + 1);
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
    const is::Result saved = save(pipeline, writer, index, work, report.output,
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

// Hands an item's output to the writer thread and keeps the workers supplied until it is
// written: a worker that finished during a large write otherwise sat idle until the write
// was done. The next item is still committed only after this write.
is::Result JobRun::save(ItemPipeline& pipeline, OutputWriter& writer, int index,
                        const std::shared_ptr<ItemWork>& work, const QString& path, is::SaveMode mode)
{
    writer.start(std::shared_ptr<const is::ImageFile>(work, &work->result),
                 QFile::encodeName(path).toStdString(), mode);
    m_view.waitUntil([&] {
        if (writer.finished())
            return true;
        if (pipeline.hasRoom(0))
            fill(pipeline, index);
        return false;
    });
    return writer.take();
}

QString JobRun::pendingOutput(int index) const
{
    return outputPath(m_in.destinationText(), m_recipe.outputName(m_in.listItem(index), m_in));
}

// Starts work for the items after the current one while a worker is free, as long as the
// finished results waiting for their turn stay small (a few large BMP or TIFF files) and
// the number of items ahead stays bounded. An
// item whose source is where an earlier, uncommitted item will write waits until that item
// is committed; an item whose output already exists while existing files are kept is not
// worked on ahead (its commit decides).
void JobRun::fill(ItemPipeline& pipeline, int current)
{
    const int maxInFlight = (3 * m_workers + 1) * kBatchItems;
    constexpr std::size_t kHeldBytes = 64u << 20;
    const int horizon = std::min(m_last, current + maxInFlight + 16);
    const bool keepExisting = m_in.doNotOverwrite();
    // Items up to the one being committed have had their work taken: never again.
    const int first = std::max({current, m_nextToStart, pipeline.firstUntaken()});
    const ItemPipeline::Gathering together(pipeline);
    // The outputs of the items ahead are made once (while the destination stays the same).
    if (const QString destination = m_in.destinationText(); destination != m_outputsFor) {
        m_outputs.clear();
        m_outputsFor = destination;
    }
    m_outputs.erase(m_outputs.begin(), m_outputs.lower_bound(current));
    auto outputOf = [this](int index) -> const PendingOutput& {
        auto found = m_outputs.find(index);
        if (found == m_outputs.end()) {
            const QString path = pendingOutput(index);
            found = m_outputs.emplace(index, PendingOutput{path, m_keys.nameKeys(path)}).first;
        }
        return found->second;
    };
    std::vector<const PendingOutput*> pending;  // outputs of items current .. j-1
    for (int j = current; j < first; ++j) {
        pending.push_back(&outputOf(j));
    }
    int j = first;
    for (; j <= horizon; ++j) {
        if (pipeline.find(j)) {
            pending.push_back(&outputOf(j));
            continue;
        }
        const QString source = m_in.listItem(j);
        const std::uint64_t sourceBytes = sizeOf(source);
        if (!pipeline.hasRoom(sourceBytes) || pipeline.heldBytes() >= kHeldBytes)
            break;
        const QStringList sourceKeys = m_keys.sourceKeys(source);
        if (std::any_of(pending.begin(), pending.end(), [&](const PendingOutput* o) {
                return FileKeys::rewrites(o->path, o->keys, source, sourceKeys);
            })) {
            break;
        }
        const PendingOutput& output = outputOf(j);
        const bool likelySkipped =
            keepExisting && (QFileInfo::exists(output.path) ||
                             std::any_of(pending.begin(), pending.end(), [&](const PendingOutput* o) {
                                 return FileKeys::rewrites(o->path, o->keys, output.path, output.keys);
                             }));
        pending.push_back(&output);
        if (!likelySkipped)
            pipeline.start(j, source, sourceKeys, sourceBytes);
    }
    m_nextToStart = j;
}

// Work already started from the file just written read its old content: redo it.
void JobRun::afterWrite(ItemPipeline& pipeline, int index, const QString& path)
{
    const QStringList written = m_keys.nameKeys(path);
    for (const int j : pipeline.started()) {
        const std::shared_ptr<ItemWork> work = pipeline.find(j);
        if (j > index && FileKeys::rewrites(path, written, work->source, work->sourceSpellings)) {
            pipeline.discard(j);
            m_nextToStart = std::min(m_nextToStart, j);
        }
    }
}

void JobRun::count(const ItemReport& report)
{
    switch (report.outcome) {
    case ItemOutcome::Written: {
        ++m_summary.written;
        // One file written twice is listed once, where it was written last.
        const QStringList keys = m_keys.nameKeys(report.output);
        // The list is searched only when a key was seen before: a long run stays linear.
        const bool seen = std::any_of(keys.begin(), keys.end(),
                                      [&](const QString& key) { return m_allWrittenKeys.contains(key); });
        const auto earlier =
            !seen ? m_writtenKeys.end()
                  : std::find_if(m_writtenKeys.begin(), m_writtenKeys.end(), [&](const QStringList& k) {
                        return std::any_of(k.begin(), k.end(),
                                           [&](const QString& key) { return keys.contains(key); });
                    });
        if (earlier != m_writtenKeys.end()) {
            m_summary.writtenFiles.removeAt(earlier - m_writtenKeys.begin());
            m_writtenKeys.erase(earlier);
        }
        m_writtenKeys.append(keys);
        for (const QString& key : keys)
            m_allWrittenKeys.insert(key);
        m_summary.writtenFiles.append(report.output);
        break;
    }
    case ItemOutcome::Skipped: ++m_summary.skipped; break;
    case ItemOutcome::Failed:
        ++m_summary.failed;
        m_summary.failures.append(report);
        break;
    }
}

void JobRun::waitForWorkers(ItemPipeline& pipeline)
{
    if (!pipeline.idle())
        m_view.waitUntil([&pipeline] { return pipeline.idle(); });
}

void JobRun::endByCancel()
{
    m_view.setStatusText(1, m_recipe.cancelledText);
    m_view.setStatusText(2, QString());
    m_view.setStatusText(3, QString());
    m_view.setPercentVisible(false);
    m_view.setProgressValue(0);
    m_view.setProgressColor(kProgressWhite);
    m_view.setControlsEnabled(true);
    m_summary.end = JobSummary::End::Cancelled;
}

void JobRun::complete()
{
    m_view.setStatusText(1, finishedText(m_summary.failed, m_summary.total));
    m_view.setStatusText(2, QString());
    m_view.setStatusText(3, QString());
    m_view.setCancelEnabled(false);
    m_view.setControlsEnabled(true);
    m_summary.end = JobSummary::End::Finished;
}

}  // namespace

QString finishedText(int failed, int total)
{
    if (failed == 0)
        return kFinishedText;
    return QStringLiteral("Finished. %1 of %2 files failed.").arg(failed).arg(total);
}

JobSummary runJob(const JobRecipe& recipe, JobInputs& inputs, JobView& view, const RunOptions& options)
{
    return JobRun(recipe, inputs, view, options).run();
}

}  // namespace quarbel::jobs
