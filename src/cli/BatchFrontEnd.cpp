#include "cli/BatchFrontEnd.h"

#include "cli/Console.h"
#include "jobs/Jobs.h"
#include "jobs/PathNames.h"
#include "jobs/Percent.h"

#include <QCoreApplication>

namespace quarbel::cli {

using jobs::ItemOutcome;

namespace {

// Keeps the updating line within a usual terminal's width, so "\r" returns to its start.
QString elided(const QString& name)
{
    constexpr qsizetype kLongest = 48;
    if (name.size() <= kLongest)
        return name;
    return QStringLiteral("...") + name.right(kLongest - 3);
}

}  // namespace

BatchInputs::BatchInputs(const BatchOptions& options, QStringList list)
    : m_options(options), m_list(std::move(list))
{}

int BatchInputs::listCount() const { return static_cast<int>(m_list.size()); }
QString BatchInputs::listItem(int index) const { return m_list.value(index); }
QString BatchInputs::sourceText() const { return m_options.sources.value(0); }
QString BatchInputs::destinationText() const { return m_options.destination; }
bool BatchInputs::doNotOverwrite() const { return m_options.noOverwrite; }
QString BatchInputs::formatText() const { return m_options.format; }
QString BatchInputs::qualityText() const { return m_options.quality; }
QString BatchInputs::widthText() const { return m_options.width; }
QString BatchInputs::heightText() const { return m_options.height; }
// Ctrl-C stays a request for the whole run, also if it came before the job cleared the flag.
bool BatchInputs::cancelRequested() const { return m_cancelRequested || interruptRequested(); }
void BatchInputs::setCancelRequested(bool value) { m_cancelRequested = value; }
QString BatchInputs::targetExtension() const { return m_targetExtension; }
void BatchInputs::setTargetExtension(const QString& extension) { m_targetExtension = extension; }

BatchView::BatchView(ProgressStyle style, std::FILE* out, std::FILE* err, RunReport* report)
    : m_style(style), m_out(out), m_err(err), m_report(report)
{}

void BatchView::print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

void BatchView::closeUpdatingLine()
{
    if (!m_lineOpen)
        return;
    print(m_err, QStringLiteral("\n"));
    m_lineOpen = false;
}

void BatchView::setStatusText(int panel, const QString& text)
{
    if (panel == 1)
        m_status = text;
}

void BatchView::setProgressMax(int max) { m_total = max; }

void BatchView::setPercentCaption(const QString& caption) { m_percentCaption = caption; }

QString BatchView::percentCaption() const { return m_percentCaption; }

jobs::MessageAnswer BatchView::showMessage(const QString& text, const QString&, jobs::MessageIcon,
                                           jobs::MessageButtons buttons)
{
    if (buttons == jobs::MessageButtons::YesNo)
        return jobs::MessageAnswer::Yes;
    closeUpdatingLine();
    m_lastMessage = withoutLeadingBlank(text);
    print(m_err, m_lastMessage + QLatin1Char('\n'));
    return jobs::MessageAnswer::Ok;
}

void BatchView::processEvents() { QCoreApplication::processEvents(); }

void BatchView::waitUntil(const std::function<bool()>& ready) { jobs::waitWithEvents(ready); }

void BatchView::itemDone(const jobs::ItemReport& report)
{
    if (m_report)
        m_report->item(report);
    const int n = report.index + 1;
    const QString counter =
        QStringLiteral("[%1%] %2 of %3").arg(jobs::percentOf(n, m_total), 3).arg(n).arg(m_total);
    switch (m_style) {
    case ProgressStyle::Quiet: return;
    case ProgressStyle::UpdatingLine:
        print(m_err, QStringLiteral("\r%1 %2\x1b[K").arg(counter, elided(jobs::fileName(report.source))));
        m_lineOpen = true;
        return;
    case ProgressStyle::Lines: break;
    }
    QString line;
    switch (report.outcome) {
    case ItemOutcome::Written:
        line = QStringLiteral("%1 %2 -> %3").arg(counter, report.source, report.output);
        break;
    case ItemOutcome::Skipped:
        line =
            QStringLiteral("%1 %2 skipped, %3: %4").arg(counter, report.source, report.reason, report.output);
        break;
    case ItemOutcome::Failed:
        line = QStringLiteral("%1 %2 failed: %3").arg(counter, report.source, report.reason);
        break;
    }
    print(m_err, line + QLatin1Char('\n'));
}

void BatchView::jobEnded(const jobs::JobSummary& summary)
{
    closeUpdatingLine();
    if (summary.end == jobs::JobSummary::End::Refused)
        return;
    print(m_out, withoutLeadingBlank(m_status) + QLatin1Char('\n'));
    print(m_out, QStringLiteral("written %1, skipped %2 because the file existed, failed %3\n")
                     .arg(summary.written)
                     .arg(summary.skipped)
                     .arg(summary.failed));
    for (const jobs::ItemReport& failure : summary.failures) {
        print(m_err,
              QStringLiteral("failed: %1 -> %2: %3\n").arg(failure.source, failure.output, failure.reason));
    }
}

int exitStatus(const jobs::JobSummary& summary)
{
    switch (summary.end) {
    case jobs::JobSummary::End::Refused: return 2;
    case jobs::JobSummary::End::Cancelled: return 130;
    case jobs::JobSummary::End::Finished: break;
    }
    return summary.failed > 0 ? 1 : 0;
}

QString withoutLeadingBlank(const QString& text)
{
    return text.startsWith(QLatin1Char(' ')) ? text.mid(1) : text;
}

}  // namespace quarbel::cli
