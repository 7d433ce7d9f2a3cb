// quarbel-batch killed with SIGKILL at many points of a run of large pictures: the
// destination holds only complete outputs, the sources are untouched, and no temporary file
// is left anywhere, whether outputs are new or replace earlier ones, with or without an
// archive.

#include "../jobs/TestImages.h"
#include "ToolProcess.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QThread>

using namespace quarbel::testing;

namespace {

QByteArray digest(const QString& path)
{
    return QCryptographicHash::hash(readBytes(path), QCryptographicHash::Sha256);
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList tempEntries(const QString& folder, const QString& pattern)
{
    return QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden | QDir::System);
}

// Outputs given their name since the moment (a replaced output is a new file).
int writtenSince(const QString& folder, const QDateTime& moment)
{
    int count = 0;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files))
        count +=
            info.birthTime().isValid() ? info.birthTime() >= moment : info.metadataChangeTime() >= moment;
    return count;
}

}  // namespace

TEST(KilledRun, LeavesOnlyCompleteOutputsAndUntouchedSources)
{
    TempTree tree;
    constexpr int kSources = 5;
    QStringList sources;
    QList<QByteArray> sourceDigests;
    for (int i = 0; i < kSources; ++i) {
        sources << tree.image(QStringLiteral("src/p%1.bmp").arg(i), 1200 + 16 * i, 900);
        sourceDigests << digest(sources.last());
    }
    const QString dest = tree.folder(QStringLiteral("out"));
    const QString zipFolder = tree.folder(QStringLiteral("zip"));
    // The archive's spool would be left in the temporary folder: give the runs one of their own.
    const QString scratch = tree.folder(QStringLiteral("tmp"));

    constexpr int kRuns = 20;
    int killedMidway = 0;
    for (int run = 0; run < kRuns; ++run) {
        if (run % 5 == 0)  // now and then from empty, otherwise replacing earlier outputs
            for (const QString& name : entries(dest))
                QFile::remove(dest + "/" + name);
        QStringList arguments{"convert", "--format", run % 2 ? "BMP" : "PNG", "--dest", dest, "--quiet"};
        if (run % 3 == 0)
            arguments << "--zip" << zipFolder + "/run.zip";
        arguments << sources;

        const QDateTime started = QDateTime::currentDateTime();
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), scratch);
        tool.setProcessEnvironment(env);
        tool.start(toolPath(), arguments);
        ASSERT_TRUE(tool.waitForStarted());
        // Kill once the run has got to a point that changes from run to run: after some of its
        // outputs have been written (new or replacing), or at once.
        const int outputsBeforeKill = run % (kSources + 1);
        QDeadlineTimer deadline(60000);
        while (tool.state() == QProcess::Running && !deadline.hasExpired() &&
               writtenSince(dest, started) < outputsBeforeKill)
            QThread::msleep(2);
        if (tool.state() == QProcess::Running) {
            ++killedMidway;
            tool.kill();
        }
        tool.waitForFinished(30000);

        for (const QString& name : entries(dest)) {
            EXPECT_FALSE(name.startsWith(u'.')) << "left behind: " << name.toStdString();
            const QImage output(dest + "/" + name);
            EXPECT_FALSE(output.isNull()) << "run " << run << ": incomplete output " << name.toStdString();
        }
        EXPECT_TRUE(tempEntries(scratch, QStringLiteral("*")).isEmpty()) << "run " << run;
        for (const QString& name : entries(zipFolder))
            EXPECT_EQ(name, QStringLiteral("run.zip"))
                << "run " << run << ": left behind " << name.toStdString();
    }
    for (int i = 0; i < kSources; ++i)
        EXPECT_EQ(digest(sources[i]), sourceDigests[i]) << sources[i].toStdString();
    EXPECT_GT(killedMidway, kRuns / 2);  // the runs were really cut short, not run to their end
}
