// --shard and --report: how a list is split, shards run at once into one folder against one
// process, and a shard killed part-way and run again.

#include "../jobs/TestImages.h"
#include "ToolProcess.h"
#include "cli/Shards.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <algorithm>

namespace quarbel::testing {
namespace {

// The report's lines; each must be a whole JSON object.
QList<QJsonObject> reportLines(const QByteArray& bytes)
{
    QList<QJsonObject> lines;
    for (const QByteArray& line : bytes.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        EXPECT_TRUE(document.isObject()) << error.errorString().toStdString() << ": " << line.toStdString();
        lines.append(document.object());
    }
    return lines;
}

QList<QJsonObject> itemsOf(const QList<QJsonObject>& lines)
{
    QList<QJsonObject> items;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(items),
                 [](const QJsonObject& line) { return line["type"] == "item"; });
    return items;
}

// Every file of a folder (hidden ones too) with its bytes.
QMap<QString, QByteArray> contents(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        files[name] = readBytes(folder + "/" + name);
    return files;
}

TEST(ShareSplit, EveryItemInOneShareBalancedAndOneOutputNameInOneShare)
{
    QStringList distinct;
    QStringList grouped;  // groups of 1 to 6 items, spread over the list
    for (int i = 0; i < 65; ++i) {
        distinct << QString("photo%1.jpg").arg(i);
        grouped << QString("name%1.jpg").arg(i * i % 23 % (1 + i % 7));
    }
    for (const QStringList& keys : {distinct, grouped}) {
        QMap<QString, int> groupSize;
        for (const QString& key : keys)
            ++groupSize[key];
        const int largest = *std::max_element(groupSize.begin(), groupSize.end());
        QStringList reversed = keys;
        std::reverse(reversed.begin(), reversed.end());
        for (const int count : {1, 2, 3, 4, 16, 100}) {
            const QList<int> share = cli::shareOfItems(keys, count);
            const QList<int> shareReversed = cli::shareOfItems(reversed, count);
            ASSERT_EQ(share.size(), keys.size());
            QList<int> load(count, 0);
            QMap<QString, int> shareOfKey;
            for (int i = 0; i < keys.size(); ++i) {
                ASSERT_GE(share[i], 0);
                ASSERT_LT(share[i], count);
                ++load[share[i]];
                // One output name, one share, whatever the list's order.
                EXPECT_EQ(shareOfKey.value(keys[i], share[i]), share[i]) << keys[i].toStdString();
                shareOfKey[keys[i]] = share[i];
                EXPECT_EQ(shareReversed[keys.size() - 1 - i], share[i]) << keys[i].toStdString();
            }
            const auto [lightest, heaviest] = std::minmax_element(load.begin(), load.end());
            EXPECT_LE(*heaviest - *lightest, largest) << "count " << count << ", largest group " << largest;
        }
    }

    // Output names as the jobs make them, compared without case.
    cli::BatchOptions convert;
    convert.format = "PNG";
    convert.shard = cli::Shard{0, 2};
    cli::BatchOptions resize = convert;
    resize.job = cli::JobKind::Resize;
    const struct {
        const cli::BatchOptions& options;
        QStringList together;
    } cases[] = {
        {convert, {"a/Beach.JPG", "b/beach.gif", "beach.png"}},
        {resize, {"a/x.png", "b/X.PNG", "c/d/x.png"}},
    };
    for (const auto& k : cases) {
        for (int other = 0; other < 40; ++other) {
            QStringList list = k.together;
            list.insert(1, QString("o%1.bmp").arg(other));  // moves the group between shares
            const QStringList mine = cli::shareOf(list, k.options);
            const int held = static_cast<int>(std::count_if(
                k.together.begin(), k.together.end(), [&](const QString& s) { return mine.contains(s); }));
            EXPECT_TRUE(held == 0 || held == k.together.size()) << list.join(' ').toStdString();
        }
    }
}

class ShardRunTest : public ::testing::Test, public TempTree {
protected:
    // The tools started by a test get a temporary folder of their own, which it can check.
    QString toolsTempFolder()
    {
        m_savedTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", folder("tmp").toLocal8Bit());
        return path("tmp");
    }
    void TearDown() override
    {
        if (m_savedTmp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", m_savedTmp);
    }

private:
    QByteArray m_savedTmp;
};

TEST_F(ShardRunTest, FourShardsAtOnceWriteWhatOneProcessWrites)
{
    for (int i = 0; i < 10; ++i)
        image(QString("src/p%1.png").arg(i), 20 + i, 10);
    image("src/deep/p3.gif", 9, 9);  // p3.jpg, as src/p3.png: the later in the list wins
    image("src/deep/deeper/t.bmp", 7, 5);
    image("src/q\"u\\o\tte\x01 name.png", 6, 6);
    const QString broken = path("src/broken.jpg");
    writeBytes(broken, "not a picture");
    const QString extra = image("extra/p5.tif", 11, 11);  // from the list: p5.jpg again
    writeBytes(path("list"), extra.toLocal8Bit() + "\n");
    const QStringList common{"convert",      "--sub-folders", "--quiet",
                             "--files-from", path("list"),    path("src")};

    const QString one = folder("one");
    const ToolRun single =
        runTool(common + QStringList{"--dest", one, "--report", path("one.jsonl")}, folder("scratch"));
    EXPECT_EQ(single.exitStatus, 1) << single.err.toStdString();
    QStringList listed;
    for (const QJsonObject& item : itemsOf(reportLines(readBytes(path("one.jsonl")))))
        listed << item["source"].toString();
    ASSERT_EQ(listed.size(), 15);
    EXPECT_TRUE(listed.contains(path("src/q\"u\\o\tte\x01 name.png")));

    const QString four = folder("four");
    QProcess shards[4];
    for (int i = 0; i < 4; ++i) {
        shards[i].setProcessChannelMode(QProcess::ForwardedErrorChannel);
        shards[i].start(toolPath(), common + QStringList{"--dest", four, "--shard", QString("%1/4").arg(i),
                                                         "--report", path(QString("%1.jsonl").arg(i))});
    }
    QStringList reported;
    int failedLines = 0;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(shards[i].waitForFinished(120000));
        const QList<QJsonObject> lines = reportLines(readBytes(path(QString("%1.jsonl").arg(i))));
        ASSERT_FALSE(lines.isEmpty());
        const QJsonObject summary = lines.last();
        EXPECT_EQ(summary["type"], "summary");
        EXPECT_EQ(summary["shard"], QString("%1/4").arg(i));
        EXPECT_EQ(summary["exit"], shards[i].exitCode());
        int failedHere = 0;
        for (const QJsonObject& item : itemsOf(lines)) {
            reported << item["source"].toString();
            if (item["status"] == "failed") {
                EXPECT_EQ(item["source"], broken);
                EXPECT_FALSE(item["reason"].toString().isEmpty());
                ++failedHere;
            } else {
                EXPECT_EQ(item["status"], "written");
            }
        }
        failedLines += failedHere;
        EXPECT_EQ(shards[i].exitCode(), failedHere ? 1 : 0) << "shard " << i;
    }
    EXPECT_EQ(failedLines, 1);
    std::sort(listed.begin(), listed.end());
    std::sort(reported.begin(), reported.end());
    EXPECT_EQ(reported, listed);  // each source exactly once

    const QMap<QString, QByteArray> expected = contents(one);
    EXPECT_EQ(expected.size(), 12);
    EXPECT_TRUE(contents(four) == expected);
}

// The report on a one-page pipe that the test stops reading, so the shard is killed with
// most of its items still to do.
TEST_F(ShardRunTest, AKilledShardRunAgainSkipsWhatItWroteAndWritesTheRest)
{
    const QString longName = QString(100, QLatin1Char('n'));
    for (int i = 0; i < 60; ++i)
        image(QString("src/%1%2.png").arg(i, 2, 10, QChar('0')).arg(longName), 4, 4);
    const QString out = folder("out");
    const QString scratch = toolsTempFolder();
    const QStringList shard{"convert", "--format", "BMP", "--shard", "1/2", "--dest", out, path("src")};

    PipedTool killed(shard + QStringList{"--report", "-"}, PipedStream::Out, path("killed.err"));
    const QString first = killed.readLine();
    killed.kill();
    const QByteArray rest = killed.readRest().toLocal8Bit();
    EXPECT_EQ(killed.wait(), -1);
    const QList<QJsonObject> before = reportLines(first.toLocal8Bit() + "\n" + rest);
    QStringList writtenBefore;
    for (const QJsonObject& item : before) {
        EXPECT_EQ(item["type"], "item");  // no summary: it never got there
        EXPECT_EQ(item["status"], "written");
        writtenBefore << item["source"].toString();
    }
    EXPECT_FALSE(writtenBefore.isEmpty());
    for (const QString& name : QDir(out).entryList(QDir::Files | QDir::Hidden))
        EXPECT_FALSE(name.startsWith('.')) << "left behind: " << name.toStdString();
    EXPECT_TRUE(QDir(scratch).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));

    const ToolRun again =
        runTool(shard + QStringList{"--no-overwrite", "--report", path("again.jsonl")}, folder("scratch"));
    EXPECT_EQ(again.exitStatus, 0) << again.err.toStdString();
    const QList<QJsonObject> items = itemsOf(reportLines(readBytes(path("again.jsonl"))));
    EXPECT_EQ(items.size(), 30);
    int written = 0;
    for (const QJsonObject& item : items) {
        const QString source = item["source"].toString();
        if (writtenBefore.contains(source)) {
            EXPECT_EQ(item["status"], "skipped") << source.toStdString();
        }
        written += item["status"] == "written";
        EXPECT_FALSE(QImage(item["output"].toString()).isNull()) << source.toStdString();
    }
    EXPECT_GT(written, 0);  // killed part-way, not at the end
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 30);
    EXPECT_TRUE(QDir(scratch).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

}  // namespace
}  // namespace quarbel::testing
