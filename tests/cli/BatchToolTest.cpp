// quarbel-batch run as a process: exit statuses, progress and summary lines, failures, the
// command line's checks and Ctrl-C.

#include "../jobs/TestImages.h"
#include "ToolProcess.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace quarbel::testing {
namespace {

class BatchToolTest : public ::testing::Test, public TempTree {
protected:
    ToolRun run(const QStringList& arguments) { return runTool(arguments, folder("scratch")); }
    int filesIn(const QString& relative) const
    {
        return static_cast<int>(QDir(path(relative)).entryList(QDir::Files | QDir::Hidden).size());
    }
};

QString summaryLine(int written, int skipped, int failed)
{
    return QString("written %1, skipped %2 because the file existed, failed %3")
        .arg(written)
        .arg(skipped)
        .arg(failed);
}

TEST_F(BatchToolTest, AllWrittenPrintsOneLinePerItemThenTheSummaryAndExitsZero)
{
    image("src/a.png", 12, 8);
    image("src/b.gif", 9, 9);
    image("src/c.bmp", 7, 5);
    const QString out = folder("out");

    const ToolRun result = run({"convert", "--format", "tiff", "--dest", out, path("src")});

    EXPECT_EQ(result.exitStatus, 0) << result.err.toStdString();
    // The progress goes to standard error, the result to standard output.
    const QStringList progress = result.errLines();
    ASSERT_EQ(progress.size(), 3) << result.err.toStdString();
    const QStringList prefixes = {"[ 33%] 1 of 3 ", "[ 67%] 2 of 3 ", "[100%] 3 of 3 "};
    const QStringList names = {"a", "b", "c"};
    for (int i = 0; i < 3; ++i) {
        const QString source = path("src/") + names[i] + QString(".png.gif.bmp").mid(i * 4, 4);
        EXPECT_EQ(progress[i], prefixes[i] + source + " -> " + out + "/" + names[i] + ".tiff");
        EXPECT_EQ(readImage(out + "/" + names[i] + ".tiff").kind, Kind::Tiff);
    }
    EXPECT_EQ(result.outLines(), (QStringList{"Finished.", summaryLine(3, 0, 0)}));
}

TEST_F(BatchToolTest, AFailedItemIsListedWithItsReasonAndExitsOne)
{
    image("src/a.png", 12, 8);
    writeBytes(path("src/b.jpg"), "these are not picture bytes");
    image("src/c.png", 5, 5);
    const QString out = folder("out");

    const ToolRun result = run({"convert", "--dest", out, "--jobs", "3", path("src")});

    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.outLines(), (QStringList{"Finished. 1 of 3 files failed.", summaryLine(2, 0, 1)}));
    // After the three progress lines, the failures are listed again.
    const QStringList errLines = result.errLines();
    ASSERT_EQ(errLines.size(), 4) << result.err.toStdString();
    const QString failedPrefix = "failed: " + path("src/b.jpg") + " -> " + out + "/b.jpg: ";
    EXPECT_TRUE(errLines.last().startsWith(failedPrefix)) << result.err.toStdString();
    EXPECT_GT(errLines.last().trimmed().size(), failedPrefix.trimmed().size());
    EXPECT_EQ(filesIn("out"), 2);
}

TEST_F(BatchToolTest, KeptFilesAreSkippedNotFailed)
{
    image("src/a.png", 12, 8);
    image("src/b.png", 12, 8);
    const QString out = folder("out");
    writeBytes(out + "/a.jpg", "old");

    const ToolRun result = run({"convert", "--dest", out, "--no-overwrite", "--quiet", path("src")});

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.outLines(), (QStringList{"Finished.", summaryLine(1, 1, 0)}));
    EXPECT_EQ(readBytes(out + "/a.jpg"), "old");
    EXPECT_EQ(readImage(out + "/b.jpg").kind, Kind::Jpeg);
}

TEST_F(BatchToolTest, QuietPrintsOnlyTheSummaryAndTheFailures)
{
    image("src/a.png", 12, 8);
    writeBytes(path("src/b.png"), "nothing");
    const ToolRun result =
        run({"resize", "--width", "6", "--height", "4", "--dest", folder("out"), "--quiet", path("src")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.outLines(), (QStringList{"Finished. 1 of 2 files failed.", summaryLine(1, 0, 1)}));
    EXPECT_EQ(result.err.count("failed: "), 1);
    const ImageFacts facts = readImage(path("out/a.png"));
    EXPECT_EQ(facts.width, 6);
    EXPECT_EQ(facts.height, 4);
}

TEST_F(BatchToolTest, SubFoldersAreWalkedOnlyWhenAsked)
{
    image("src/top.png", 4, 4);
    image("src/deep/inner.png", 4, 4);
    const ToolRun flat = run({"convert", "--dest", folder("flat"), "--quiet", path("src")});
    const ToolRun deep = run({"convert", "--dest", folder("deep"), "--sub-folders", "--quiet", path("src")});
    EXPECT_EQ(flat.exitStatus, 0);
    EXPECT_EQ(deep.exitStatus, 0);
    EXPECT_EQ(QDir(path("flat")).entryList(QDir::Files), QStringList{"top.jpg"});
    EXPECT_EQ(QDir(path("deep")).entryList(QDir::Files), (QStringList{"inner.jpg", "top.jpg"}));
}

struct RefusalCase {
    const char* name;
    QStringList arguments;  // {src} = a folder with one image, {out} = an empty folder
    const char* firstErrorLine;
};

class RefusalTest : public BatchToolTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, ExitsTwoWithAClearMessageAndWritesNothing)
{
    image("src/a.png", 4, 4);
    folder("empty");
    const auto filled = [this](QString text) {
        text.replace("{src}", path("src")).replace("{out}", folder("out"));
        return text.replace("{empty}", path("empty")).replace("{missing}", path("missing"));
    };
    QStringList arguments;
    for (const QString& argument : GetParam().arguments)
        arguments << filled(argument);
    const ToolRun result = run(arguments);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err.split('\n').value(0), filled(GetParam().firstErrorLine)) << result.err.toStdString();
    EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
    EXPECT_EQ(filesIn("out"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RefusalTest,
    ::testing::Values(
        RefusalCase{"NoSource", {"convert", "--dest", "{out}"}, "Please select source directory."},
        RefusalCase{"NoDestination", {"convert", "{src}"}, "Please select destination directory."},
        RefusalCase{"MissingDestination",
                    {"convert", "--dest", "{missing}", "{src}"},
                    "Destination directory does not exist. Please try again."},
        RefusalCase{"NoImagesInTheFolder",
                    {"convert", "--dest", "{out}", "{empty}"},
                    "No image files to Convert. Please try again."},
        RefusalCase{"NoWidth",
                    {"resize", "--height", "5", "--dest", "{out}", "{src}"},
                    "Invalid Image Width. Please try again."},
        RefusalCase{"ZeroHeight",
                    {"resize", "--width", "5", "--height", "0", "--dest", "{out}", "{src}"},
                    "Invalid Image Height. Please try again."},
        RefusalCase{"QualityNotOffered",
                    {"convert", "--quality", "33", "--dest", "{out}", "{src}"},
                    "quarbel-batch: invalid quality '33' (use 5, 10, 15 ... 100)"},
        RefusalCase{"UnknownFormat",
                    {"convert", "--format", "jpeg", "--dest", "{out}", "{src}"},
                    "quarbel-batch: unknown format 'jpeg' (use JPG, PNG, GIF, BMP, TIFF, WEBP, AVIF or JXL)"},
        RefusalCase{"WidthNotDigits",
                    {"resize", "--width", "12a", "--height", "5", "--dest", "{out}", "{src}"},
                    "quarbel-batch: invalid width '12a' (digits only)"},
        RefusalCase{"NoJobs",
                    {"convert", "--jobs", "0", "--dest", "{out}", "{src}"},
                    "quarbel-batch: invalid number of jobs '0' (use 1 to 64)"},
        RefusalCase{"UnknownOption",
                    {"convert", "--fast", "--dest", "{out}", "{src}"},
                    "quarbel-batch: unknown option '--fast'"},
        RefusalCase{
            "MissingValue", {"convert", "{src}", "--dest"}, "quarbel-batch: option '--dest' needs a value"},
        RefusalCase{"NoCommand", {"--dest", "{out}"}, "quarbel-batch: missing command (convert or resize)"},
        RefusalCase{"UnreadableList",
                    {"convert", "--dest", "{out}", "--files-from", "{missing}", "{src}"},
                    "quarbel-batch: cannot read the file list '{missing}': No such file or "
                    "directory"},
        RefusalCase{"ShardPastTheCount",
                    {"convert", "--dest", "{out}", "--shard", "4/4", "{src}"},
                    "quarbel-batch: invalid shard '4/4' (use INDEX/COUNT with 0 <= INDEX < COUNT)"},
        RefusalCase{"NegativeShard",
                    {"convert", "--dest", "{out}", "--shard", "-1/4", "{src}"},
                    "quarbel-batch: invalid shard '-1/4' (use INDEX/COUNT with 0 <= INDEX < COUNT)"},
        RefusalCase{"ShardNotANumber",
                    {"convert", "--dest", "{out}", "--shard=x", "{src}"},
                    "quarbel-batch: invalid shard 'x' (use INDEX/COUNT with 0 <= INDEX < COUNT)"},
        RefusalCase{"NoShards",
                    {"convert", "--dest", "{out}", "--shard", "1/0", "{src}"},
                    "quarbel-batch: invalid shard '1/0' (use INDEX/COUNT with 0 <= INDEX < COUNT)"},
        RefusalCase{"ShardWithoutCount",
                    {"convert", "--dest", "{out}", "--shard", "2", "{src}"},
                    "quarbel-batch: invalid shard '2' (use INDEX/COUNT with 0 <= INDEX < COUNT)"},
        RefusalCase{"EmptyShard",
                    {"convert", "--dest", "{out}", "--shard=", "{src}"},
                    "quarbel-batch: invalid shard '' (use INDEX/COUNT with 0 <= INDEX < COUNT)"},
        RefusalCase{"ListIsAFolder",
                    {"convert", "--dest", "{out}", "--files-from={empty}", "{src}"},
                    "quarbel-batch: cannot read the file list '{empty}': file to open is a "
                    "directory"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BatchToolTest, ListedSourcesFollowTheCommandLinesInTheListsOrder)
{
    image("src/a.png", 4, 4);
    image("src/b b.png", 4, 4);
    image("src/c.png", 4, 4);
    const QByteArray a = path("src/a.png").toLocal8Bit();
    const QByteArray b = path("src/b b.png").toLocal8Bit();
    const QByteArray c = path("src/c.png").toLocal8Bit();
    const struct {
        const char* name;
        QByteArray list;
        QStringList options;  // {list} = the list file
        bool listOnInput;
    } cases[] = {
        {"lines", c + "\n\n" + b + "\n", {"--files-from", "{list}"}, false},
        {"NULs", c + '\0' + b, {"--null", "--files-from={list}"}, false},
        {"standard input", c + "\n" + b, {"--files-from", "-"}, true},
    };
    int n = 0;
    for (const auto& k : cases) {
        const QString out = folder(QString("out%1").arg(++n));
        const QString list = path(QString("list%1").arg(n));
        writeBytes(list, k.list);
        QStringList arguments = {"convert", "--dest", out, QString::fromLocal8Bit(a)};
        for (const QString& option : k.options)
            arguments << QString(option).replace("{list}", list);
        const ToolRun result = runTool(arguments, folder("scratch"), k.listOnInput ? list : "");
        EXPECT_EQ(result.exitStatus, 0) << k.name << result.err.toStdString();
        const QStringList progress = result.errLines();
        ASSERT_EQ(progress.size(), 3) << k.name << result.err.toStdString();
        const QByteArray order[] = {a, c, b};
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(progress[i].contains(QString::fromLocal8Bit(order[i]) + " -> "))
                << k.name << progress[i].toStdString();
        }
        EXPECT_EQ(QDir(out).entryList(QDir::Files), (QStringList{"a.jpg", "b b.jpg", "c.jpg"}));
    }
}

TEST_F(BatchToolTest, HelpAndVersionExitZero)
{
    const ToolRun help = run({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_TRUE(help.out.startsWith("Usage:"));
    const ToolRun version = run({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_TRUE(
        version.out.startsWith("quarbel-batch 1.0\nPictures are decoded in worker processes; confinement: "))
        << version.out.toStdString();
}

// The tool's output is a one-page pipe that the test stops reading after the first line, so
// the tool cannot get near the end of the list before it sees Ctrl-C.
TEST_F(BatchToolTest, CtrlCCancelsBetweenItemsKeepsWrittenFilesAndExits130)
{
    const int count = 150;
    const QString longName = QString(100, QLatin1Char('n'));
    for (int i = 0; i < count; ++i)
        image(QString("src/%1%2.png").arg(i, 3, 10, QChar('0')).arg(longName), 4, 4);
    const QString out = folder("out");

    PipedTool tool({"convert", "--dest", out, "--jobs", "2", path("src")}, PipedStream::Err,
                   path("tool.out"));
    const QString first = tool.readLine();
    EXPECT_TRUE(first.startsWith("[  1%] 1 of 150 ")) << first.toStdString();
    tool.interrupt();
    tool.readRest();
    const int status = tool.wait();

    EXPECT_EQ(status, 130);
    const QStringList rest =
        QString::fromLocal8Bit(readBytes(path("tool.out"))).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rest.size(), 2);
    EXPECT_EQ(rest[rest.size() - 2], "Image conversion cancelled...");
    const QRegularExpression summary("^written (\\d+), skipped 0 because the file existed, failed 0$");
    const QRegularExpressionMatch match = summary.match(rest.last());
    ASSERT_TRUE(match.hasMatch()) << rest.last().toStdString();
    const int written = match.captured(1).toInt();
    EXPECT_GE(written, 1);
    EXPECT_LT(written, count);
    EXPECT_EQ(filesIn("out"), written);
    EXPECT_TRUE(QFileInfo::exists(out + "/000" + longName + ".jpg"));
    EXPECT_FALSE(QFileInfo::exists(out + "/149" + longName + ".jpg"));
}

// Ctrl-C while the tool waits for the work of a large picture is seen at once: the picture's
// work is cancelled and nothing of it is written, rather than the item being finished first.
TEST_F(BatchToolTest, CtrlCDuringALargeItemWritesNothingOfIt)
{
    image("src/1.png", 8, 6);
    image("src/2.tif", 4000, 3000);
    const QString out = folder("out");

    PipedTool tool(
        {"convert", "--format", "PNG", "--dest", out, "--jobs", "1", path("src/1.png"), path("src/2.tif")},
        PipedStream::Err, path("tool.out"));
    const QString first = tool.readLine();
    EXPECT_TRUE(first.startsWith("[ 50%] 1 of 2 ")) << first.toStdString();
    tool.interrupt();
    tool.readRest();

    EXPECT_EQ(tool.wait(), 130);
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList{"1.png"});
}

}  // namespace
}  // namespace quarbel::testing
