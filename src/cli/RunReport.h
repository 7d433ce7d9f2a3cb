#pragma once
// --report FILE: what became of each item, for programs, as JSON Lines (one object a line,
// UTF-8). Each item's line is written and flushed as the item ends, so a process that is
// killed leaves a report of whole lines; the summary line comes last.
//
//   {"type":"item","status":"written","source":"a/b.png","output":"out/b.jpg","reason":"","bytes":5120,"ms":31}
//   {"type":"summary","end":"finished","exit":1,"shard":"3/16","listed":1000,"items":62,
//    "written":60,"skipped":1,"failed":1,"cancelled":0,"ms":1520}
//
// status is written, skipped (the output existed and --no-overwrite kept it), failed (reason
// says why) or cancelled (Ctrl-C came first). bytes is the size of the output written (0
// when none was); ms is the time since the previous item ended (the run's start for the
// first), so an item's ms adds up to the run's time with the others'. end is finished,
// cancelled or refused (reason then holds the message); shard is null without --shard; listed
// counts the whole list, items this process's share.

#include "jobs/JobHost.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <memory>

namespace quarbel::cli {

struct RunEnd {
    jobs::JobSummary::End end = jobs::JobSummary::End::Finished;
    int exitStatus = 0;
    QString shard;   // "INDEX/COUNT", or "" without --shard
    int listed = 0;  // items in the whole list
    int items = 0;   // items in this process's share
    QString reason;  // why the run was refused
};

class RunReport {
public:
    // Creates or replaces the file ("-" is standard output); null with the reason in error.
    static std::unique_ptr<RunReport> open(const QString& path, QString& error);

    // The item times count from here.
    void start();
    void item(const jobs::ItemReport& report);
    void cancelled(const QString& source, const QString& output);
    void summary(const RunEnd& end);

    // Items reported so far; they are the share's first ones, in list order.
    int itemsReported() const { return m_written + m_skipped + m_failed + m_cancelled; }
    // Whether every line reached the file; otherwise why not.
    bool complete() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

private:
    RunReport() = default;
    void writeLine(const QByteArray& line);
    void itemLine(const char* status, const QString& source, const QString& output, const QString& reason,
                  qint64 bytes);

    QFile m_file;
    QElapsedTimer m_run;
    QElapsedTimer m_sinceLast;
    int m_written = 0;
    int m_skipped = 0;
    int m_failed = 0;
    int m_cancelled = 0;
    QString m_error;
};

}  // namespace quarbel::cli
