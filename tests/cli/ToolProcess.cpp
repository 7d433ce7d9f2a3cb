#include "ToolProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <csignal>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace quarbel::testing {
namespace {

std::vector<QByteArray> argumentBytes(const QStringList& arguments)
{
    std::vector<QByteArray> bytes{QFile::encodeName(toolPath())};
    for (const QString& argument : arguments)
        bytes.push_back(QFile::encodeName(argument));
    return bytes;
}

pid_t spawn(const QStringList& arguments, posix_spawn_file_actions_t* actions)
{
    std::vector<QByteArray> bytes = argumentBytes(arguments);
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    // The tool starts with no signal blocked, whatever the test runner blocks.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (failed)
        throw std::runtime_error("cannot start " + toolPath().toStdString());
    return pid;
}

int waitForExit(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

}  // namespace

QString toolPath() { return QStringLiteral(QUARBEL_BINARY_DIR "/src/cli/quarbel-batch"); }

namespace {

QStringList linesOf(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

}  // namespace

QStringList ToolRun::outLines() const { return linesOf(out); }
QStringList ToolRun::errLines() const { return linesOf(err); }

ToolRun runTool(const QStringList& arguments, const QString& scratchFolder, const QString& inputFile)
{
    const QByteArray outFile = QFile::encodeName(scratchFolder + "/tool.out");
    const QByteArray errFile = QFile::encodeName(scratchFolder + "/tool.err");
    const QByteArray input = inputFile.isEmpty() ? QByteArray("/dev/null") : QFile::encodeName(inputFile);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const pid_t pid = spawn(arguments, &actions);
    posix_spawn_file_actions_destroy(&actions);
    ToolRun run;
    run.exitStatus = waitForExit(pid);
    run.out = readText(QFile::decodeName(outFile));
    run.err = readText(QFile::decodeName(errFile));
    return run;
}

PipedTool::PipedTool(const QStringList& arguments, PipedStream piped, const QString& otherFile)
{
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("no pipe");
    fcntl(fds[0], F_SETPIPE_SZ, 4096);
    const QByteArray other = QFile::encodeName(otherFile);
    const int pipedFd = piped == PipedStream::Out ? 1 : 2;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], pipedFd);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    posix_spawn_file_actions_addopen(&actions, 3 - pipedFd, other.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    m_pid = spawn(arguments, &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    m_fd = fds[0];
}

PipedTool::~PipedTool()
{
    if (m_fd >= 0)
        close(m_fd);
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        waitForExit(m_pid);
    }
}

bool PipedTool::readMore()
{
    // Small reads, so the test never takes much more from the pipe than it asked for.
    char chunk[64];
    for (;;) {
        const ssize_t n = read(m_fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        m_buffer.append(chunk, n);
        return true;
    }
}

QString PipedTool::readLine()
{
    qsizetype end;
    while ((end = m_buffer.indexOf('\n')) < 0) {
        if (!readMore()) {
            const QString rest = QString::fromLocal8Bit(m_buffer);
            m_buffer.clear();
            return rest;
        }
    }
    const QString line = QString::fromLocal8Bit(m_buffer.left(end));
    m_buffer.remove(0, end + 1);
    return line;
}

QString PipedTool::readRest()
{
    while (readMore()) {
    }
    const QString rest = QString::fromLocal8Bit(m_buffer);
    m_buffer.clear();
    return rest;
}

void PipedTool::interrupt() { ::kill(m_pid, SIGINT); }

void PipedTool::kill() { ::kill(m_pid, SIGKILL); }

int PipedTool::wait()
{
    const int status = waitForExit(m_pid);
    m_pid = -1;
    return status;
}

QByteArray runProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ": "
                                     << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

}  // namespace quarbel::testing
