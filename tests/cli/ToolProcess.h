#pragma once
// Runs the built quarbel-batch as a child process, with its output in files or in a pipe the
// test reads itself.

#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace quarbel::testing {

QString toolPath();

struct ToolRun {
    int exitStatus = -1;  // -1 when it did not exit normally
    QString out;
    QString err;
    QStringList outLines() const;
};

// Runs the tool to its end; outputs are collected through files in scratchFolder.
ToolRun runTool(const QStringList& arguments, const QString& scratchFolder);

// A running tool whose standard output is a pipe of one page that the test reads, so the
// tool cannot get further ahead than that page allows while the test is not reading.
class PipedTool {
public:
    PipedTool(const QStringList& arguments, const QString& errFile);
    ~PipedTool();
    QString readLine();     // one line without its newline; "" at the end
    QString readRest();
    void interrupt();       // SIGINT
    int wait();             // the exit status, -1 when it did not exit normally

private:
    pid_t pid_ = -1;
    int fd_ = -1;
    QByteArray buffer_;
    bool readMore();
};

}  // namespace quarbel::testing
