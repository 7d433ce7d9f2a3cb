#pragma once
// Runs the built quarbel-batch as a child process, with its output in files or in a pipe the
// test reads itself; and the other programs tests make and check files with.

#include <sys/types.h>
#include <QString>
#include <QStringList>

namespace quarbel::testing {

QString toolPath();

struct ToolRun {
    int exitStatus = -1;  // -1 when it did not exit normally
    QString out;
    QString err;
    QStringList outLines() const;
    QStringList errLines() const;
};

// Runs the tool to its end; outputs are collected through files in scratchFolder. Standard
// input is inputFile, or empty when none is given.
ToolRun runTool(const QStringList& arguments, const QString& scratchFolder,
                const QString& inputFile = QString());

// Runs another program to its end (two minutes at most) and gives its standard output; a
// program that cannot run or exits with a failure fails the calling test.
QByteArray runProgram(const QString& program, const QStringList& arguments);

enum class PipedStream { Out, Err };

// A running tool with one of its outputs a pipe of one page that the test reads, so the
// tool cannot get further ahead than that page allows while the test is not reading. The
// other output goes to otherFile.
class PipedTool {
public:
    PipedTool(const QStringList& arguments, PipedStream piped, const QString& otherFile);
    ~PipedTool();
    QString readLine();  // one line without its newline; "" at the end
    QString readRest();
    void interrupt();  // SIGINT
    void kill();       // SIGKILL
    int wait();        // the exit status, -1 when it did not exit normally

private:
    pid_t m_pid = -1;
    int m_fd = -1;
    QByteArray m_buffer;
    bool readMore();
};

}  // namespace quarbel::testing
