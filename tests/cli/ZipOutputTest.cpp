// quarbel-batch --zip: what a run's archive holds, and the runs that write none.

#include "cli/ZipOutput.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

namespace quarbel::cli {
namespace {

struct ProcessRun {
    int exitCode = -1;
    QByteArray out;  // standard output and standard error together
    QString text() const { return QString::fromLocal8Bit(out); }
};

ProcessRun runProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ProcessRun run;
    if (!process.waitForStarted() || !process.waitForFinished(120000)) {
        ADD_FAILURE() << "could not run " << program.toStdString();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAll();
    return run;
}

QByteArray readFile(const QString& path)
{
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

QStringList archiveNames(const QString& archive)
{
    return runProgram(QStringLiteral("unzip"), {QStringLiteral("-Z1"), archive})
        .text()
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// What the tool printed to one of its streams.
class Captured {
public:
    Captured() : m_file(std::tmpfile(), &std::fclose) {}
    std::FILE* stream() const { return m_file.get(); }
    QString text() const
    {
        std::rewind(m_file.get());
        QByteArray bytes;
        char buffer[256];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, m_file.get()))
            bytes.append(buffer, static_cast<qsizetype>(n));
        return QString::fromLocal8Bit(bytes);
    }

private:
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> m_file;
};

class ZipOutput : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile out(path(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return out.fileName();
    }
    QTemporaryDir m_dir;
};

jobs::JobSummary finished(const QStringList& written)
{
    jobs::JobSummary summary;
    summary.end = jobs::JobSummary::End::Finished;
    summary.total = static_cast<int>(written.size());
    summary.written = static_cast<int>(written.size());
    summary.writtenFiles = written;
    return summary;
}

TEST_F(ZipOutput, PacksOnlyTheWrittenFilesInListOrder)
{
    const QString b = writeFile(QStringLiteral("b.png"), "bee");
    const QString a = writeFile(QStringLiteral("a.png"), "ay");
    writeFile(QStringLiteral("kept.png"), "was there before");
    writeFile(QStringLiteral("failed.png"), "old output of a failed item");
    jobs::JobSummary summary = finished({b, a});
    summary.total = 4;
    summary.skipped = 1;
    summary.failed = 1;
    summary.failures.append({3, QStringLiteral("x.jpg"), path(QStringLiteral("failed.png")),
                             jobs::ItemOutcome::Failed, QStringLiteral("broken")});
    const QString archive = path(QStringLiteral("run.zip"));
    Captured out, err;
    EXPECT_EQ(writeRunArchive(archive, summary, 1, out.stream(), err.stream()), 1);

    EXPECT_EQ(archiveNames(archive), QStringList({QStringLiteral("b.png"), QStringLiteral("a.png")}));
    EXPECT_TRUE(out.text().contains(archive)) << out.text().toStdString();
    EXPECT_TRUE(err.text().isEmpty());
    const ProcessRun comment = runProgram(QStringLiteral("unzip"), {QStringLiteral("-z"), archive});
    EXPECT_TRUE(comment.text().contains(QLatin1String(kArchiveComment)));
}

TEST_F(ZipOutput, RunsThatWroteNothingWriteNoArchive)
{
    const QByteArray old = "an earlier archive";
    const QString existing = writeFile(QStringLiteral("old.zip"), old);
    const QString fresh = path(QStringLiteral("new.zip"));
    const QString written = writeFile(QStringLiteral("a.png"), "ay");

    jobs::JobSummary allSkipped = finished({});
    allSkipped.total = allSkipped.skipped = 2;
    jobs::JobSummary cancelled = finished({written});
    cancelled.end = jobs::JobSummary::End::Cancelled;
    jobs::JobSummary refused;  // validation stopped the run

    struct Case {
        const char* what;
        jobs::JobSummary summary;
        int status;
        bool saysSo;
    };
    const Case cases[] = {{"all skipped", allSkipped, 0, true},
                          {"cancelled", cancelled, 130, true},
                          {"refused", refused, 2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString& archive : {existing, fresh}) {
            Captured out, err;
            EXPECT_EQ(writeRunArchive(archive, c.summary, c.status, out.stream(), err.stream()), c.status);
            EXPECT_EQ(out.text().contains(QStringLiteral("No archive written")), c.saysSo);
        }
        EXPECT_EQ(readFile(existing), old);
        EXPECT_FALSE(QFileInfo::exists(fresh));
    }
}

TEST_F(ZipOutput, ArchiveThatCannotBeWrittenIsReportedWithStatusOne)
{
    const QByteArray old = "an earlier archive";
    const QString existing = writeFile(QStringLiteral("old.zip"), old);
    const QString written = writeFile(QStringLiteral("a.png"), "ay");
    const QString vanished = path(QStringLiteral("deleted-meanwhile.png"));

    struct Case {
        const char* what;
        QString archive;
        QStringList files;
    };
    const Case cases[] = {
        {"a written file is gone", existing, {written, vanished}},
        {"the archive's folder is gone", path(QStringLiteral("gone/run.zip")), {written}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Captured out, err;
        EXPECT_EQ(writeRunArchive(c.archive, finished(c.files), 0, out.stream(), err.stream()), 1);
        EXPECT_TRUE(err.text().contains(QStringLiteral("archive not written"))) << err.text().toStdString();
        EXPECT_EQ(readFile(existing), old);
    }
}

TEST_F(ZipOutput, ArchivePathIsCheckedBeforeTheRun)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder")));
    EXPECT_TRUE(checkArchivePath(path(QStringLiteral("run.zip"))).isEmpty());
    EXPECT_TRUE(checkArchivePath(path(QStringLiteral("old.zip"))).isEmpty());
    EXPECT_FALSE(checkArchivePath(QString()).isEmpty());
    EXPECT_FALSE(checkArchivePath(path(QStringLiteral("folder"))).isEmpty());
    EXPECT_FALSE(checkArchivePath(path(QStringLiteral("missing/run.zip"))).isEmpty());
}

// The real tool on real images.
TEST_F(ZipOutput, BatchToolPacksWhatItConverted)
{
    const QString tool = QStringLiteral(QUARBEL_BINARY_DIR "/src/cli/quarbel-batch");
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("src")));
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("out")));
    QImage picture(12, 8, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(path(QStringLiteral("src/b.png"))));
    ASSERT_TRUE(picture.scaled(5, 5).save(path(QStringLiteral("src/a.png"))));
    writeFile(QStringLiteral("src/broken.jpg"), "not a picture");
    const QString archive = path(QStringLiteral("run.zip"));
    const QStringList common = {QStringLiteral("convert"),
                                QStringLiteral("--format"),
                                QStringLiteral("BMP"),
                                QStringLiteral("--dest"),
                                path(QStringLiteral("out")),
                                QStringLiteral("--zip"),
                                archive};

    const ProcessRun first = runProgram(
        tool, common + QStringList{path(QStringLiteral("src/b.png")), path(QStringLiteral("src/broken.jpg")),
                                   path(QStringLiteral("src/a.png"))});
    EXPECT_EQ(first.exitCode, 1) << first.out.toStdString();  // one item failed
    const ProcessRun test = runProgram(QStringLiteral("unzip"), {QStringLiteral("-t"), archive});
    EXPECT_EQ(test.exitCode, 0) << test.out.toStdString();
    ASSERT_EQ(archiveNames(archive), QStringList({QStringLiteral("b.bmp"), QStringLiteral("a.bmp")}));
    for (const QString& name : {QStringLiteral("b.bmp"), QStringLiteral("a.bmp")}) {
        const ProcessRun content = runProgram(QStringLiteral("unzip"), {QStringLiteral("-p"), archive, name});
        EXPECT_EQ(content.out, readFile(path(QStringLiteral("out/") + name)));
    }

    // Everything exists now: nothing is written, and the archive stays as it was.
    const QByteArray packed = readFile(archive);
    const ProcessRun second = runProgram(
        tool, common + QStringList{QStringLiteral("--no-overwrite"), path(QStringLiteral("src/a.png"))});
    EXPECT_EQ(second.exitCode, 0) << second.out.toStdString();
    EXPECT_TRUE(second.text().contains(QStringLiteral("No archive written")));
    EXPECT_EQ(readFile(archive), packed);

    // An archive path that can never be written stops the run before any work.
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("untouched")));
    const ProcessRun refused =
        runProgram(tool, {QStringLiteral("convert"), QStringLiteral("--dest"),
                          path(QStringLiteral("untouched")), QStringLiteral("--zip"),
                          path(QStringLiteral("missing/run.zip")), path(QStringLiteral("src/a.png"))});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.text().contains(QStringLiteral("missing"))) << refused.out.toStdString();
    EXPECT_TRUE(QDir(path(QStringLiteral("untouched"))).isEmpty());
}

}  // namespace
}  // namespace quarbel::cli
