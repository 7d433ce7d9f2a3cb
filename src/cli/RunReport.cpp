#include "cli/RunReport.h"

#include <unistd.h>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace quarbel::cli {
namespace {

// A JSON string as Qt's writer escapes it (quotes, backslashes and control characters; the
// rest as UTF-8). Its objects sort their keys, so the lines are put together here, in the
// order a person reads them.
QByteArray quoted(const QString& text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);  // ["..."] -> "..."
}

QByteArray number(qint64 value) { return QByteArray::number(value); }

const char* endName(jobs::JobSummary::End end)
{
    switch (end) {
    case jobs::JobSummary::End::Refused: return "refused";
    case jobs::JobSummary::End::Cancelled: return "cancelled";
    case jobs::JobSummary::End::Finished: break;
    }
    return "finished";
}

}  // namespace

std::unique_ptr<RunReport> RunReport::open(const QString& path, QString& error)
{
    std::unique_ptr<RunReport> report(new RunReport);
    // Unbuffered: every line goes out in one write when it is complete.
    bool opened = false;
    if (path == QLatin1String("-")) {
        opened = report->m_file.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    } else {
        report->m_file.setFileName(path);
        opened = report->m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    }
    if (!opened) {
        error = QStringLiteral("cannot write the report '%1': %2").arg(path, report->m_file.errorString());
        return nullptr;
    }
    report->start();
    return report;
}

void RunReport::start()
{
    m_run.start();
    m_sinceLast.start();
}

void RunReport::writeLine(const QByteArray& line)
{
    if (!m_error.isEmpty())
        return;
    if (m_file.write(line + '\n') != line.size() + 1)
        m_error = m_file.errorString();
}

void RunReport::itemLine(const char* status, const QString& source, const QString& output,
                         const QString& reason, qint64 bytes)
{
    writeLine(QByteArray(R"({"type":"item","status":")") + status + R"(","source":)" + quoted(source) +
              R"(,"output":)" + quoted(output) + R"(,"reason":)" + quoted(reason) + R"(,"bytes":)" +
              number(bytes) + R"(,"ms":)" + number(m_sinceLast.restart()) + '}');
}

void RunReport::item(const jobs::ItemReport& report)
{
    switch (report.outcome) {
    case jobs::ItemOutcome::Written:
        ++m_written;
        itemLine("written", report.source, report.output, report.reason, QFileInfo(report.output).size());
        return;
    case jobs::ItemOutcome::Skipped:
        ++m_skipped;
        itemLine("skipped", report.source, report.output, report.reason, 0);
        return;
    case jobs::ItemOutcome::Failed:
        ++m_failed;
        itemLine("failed", report.source, report.output, report.reason, 0);
        return;
    }
}

void RunReport::cancelled(const QString& source, const QString& output)
{
    ++m_cancelled;
    itemLine("cancelled", source, output, QString(), 0);
}

void RunReport::summary(const RunEnd& end)
{
    QByteArray line = QByteArray(R"({"type":"summary","end":")") + endName(end.end) + R"(","exit":)" +
                      number(end.exitStatus) + R"(,"shard":)" +
                      (end.shard.isEmpty() ? QByteArray("null") : quoted(end.shard)) + R"(,"listed":)" +
                      number(end.listed) + R"(,"items":)" + number(end.items) + R"(,"written":)" +
                      number(m_written) + R"(,"skipped":)" + number(m_skipped) + R"(,"failed":)" +
                      number(m_failed) + R"(,"cancelled":)" + number(m_cancelled) + R"(,"ms":)" +
                      number(m_run.elapsed());
    if (!end.reason.isEmpty())
        line += R"(,"reason":)" + quoted(end.reason);
    writeLine(line + '}');
}

}  // namespace quarbel::cli
