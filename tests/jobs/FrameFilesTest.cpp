// What the jobs do to real files: output names and formats, overwriting, in-place runs,
// items that depend on earlier items' outputs, and failures that must not touch other files.

#include "JobTestBase.h"

#include <zlib.h>
#include <QFile>
#include <QtEndian>

namespace quarbel::testing {
namespace {

using jobs::ItemOutcome;
using jobs::JobSummary;

struct FormatCase {
    const char* text;
    const char* extension;
    Kind kind;
};

class ConvertFormatTest : public JobTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ConvertFormatTest, WritesBaseNamePlusTheFormatsExtension)
{
    const FormatCase& c = GetParam();
    in.list = {image("src/Beach.PNG", 24, 16), image("src/a.b.gif", 10, 20)};
    in.destination = folder("out");
    in.format = c.text;

    const JobSummary summary = convert();

    EXPECT_EQ(in.extension, c.extension);
    for (const auto& [base, width, height] : {std::tuple{"Beach", 24, 16}, {"a.b", 10, 20}}) {
        const ImageFacts facts = readImage(path("out/") + base + c.extension);
        EXPECT_EQ(facts.kind, c.kind) << base;
        EXPECT_EQ(facts.width, width) << base;
        EXPECT_EQ(facts.height, height) << base;
    }
    EXPECT_EQ(summary.written, 2);
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files).size(), 2);
}

INSTANTIATE_TEST_SUITE_P(Formats, ConvertFormatTest,
                         ::testing::Values(FormatCase{"JPG", ".jpg", Kind::Jpeg},
                                           FormatCase{"PNG", ".png", Kind::Png},
                                           FormatCase{"BMP", ".bmp", Kind::Bmp},
                                           FormatCase{"GIF", ".gif", Kind::Gif},
                                           FormatCase{"TIFF", ".tiff", Kind::Tiff}),
                         [](const auto& info) { return std::string(info.param.text); });

TEST_F(JobTest, FormatTextIsMatchedWithCaseAndAnUnknownOneKeepsTheExtension)
{
    in.list = {image("src/a.png", 6, 4)};
    in.destination = folder("out");
    in.extension = ".png";
    in.format = "jpg";
    convert();
    EXPECT_EQ(in.extension, ".png");
    EXPECT_FALSE(QFileInfo::exists(path("out/a.jpg")));
}

TEST_F(JobTest, QualityOnlyChangesJpegOutput)
{
    in.list = {image("src/a.png", 64, 64)};
    in.destination = folder("low");
    in.quality = "5";
    convert();
    in.destination = folder("high");
    in.quality = "100";
    convert();
    EXPECT_LT(QFileInfo(path("low/a.jpg")).size(), QFileInfo(path("high/a.jpg")).size());

    in.format = "PNG";
    in.destination = folder("png5");
    in.quality = "5";
    convert();
    in.destination = folder("png100");
    in.quality = "100";
    convert();
    EXPECT_EQ(readBytes(path("png5/a.png")), readBytes(path("png100/a.png")));
}

struct KeepCase {
    const char* name;
    bool keepExisting;
};
const KeepCase kKeepCases[] = {{"Overwrite", false}, {"DoNotOverwrite", true}};
auto keepCaseName = [](const auto& info) { return std::string(info.param.name); };

class SameBaseNameTest : public JobTest, public ::testing::WithParamInterface<KeepCase> {};

TEST_P(SameBaseNameTest, LaterItemReplacesOrIsSkipped)
{
    in.list = {image("src/x.png", 20, 10), image("src/x.gif", 30, 15)};
    in.destination = folder("out");
    in.format = "BMP";
    in.keepExisting = GetParam().keepExisting;

    const JobSummary summary = convert(4);

    const ImageFacts facts = readImage(path("out/x.bmp"));
    EXPECT_EQ(facts.kind, Kind::Bmp);
    ASSERT_EQ(view.reports.size(), 2);
    EXPECT_EQ(view.reports[0].outcome, ItemOutcome::Written);
    if (GetParam().keepExisting) {
        EXPECT_EQ(facts.width, 20);
        EXPECT_EQ(view.reports[1].outcome, ItemOutcome::Skipped);
        EXPECT_EQ(summary.skipped, 1);
    } else {
        EXPECT_EQ(facts.width, 30);
        EXPECT_EQ(view.reports[1].outcome, ItemOutcome::Written);
    }
    EXPECT_EQ(summary.failed, 0);
    EXPECT_EQ(summary.writtenFiles, QStringList{path("out") + "/x.bmp"});
}

INSTANTIATE_TEST_SUITE_P(Both, SameBaseNameTest, ::testing::ValuesIn(kKeepCases), keepCaseName);

class InPlaceTest : public JobTest, public ::testing::WithParamInterface<KeepCase> {};

TEST_P(InPlaceTest, ConvertReplacesTheSourceOnlyWhenAllowed)
{
    const QString source = image("pics/a.jpg", 64, 48);
    const QByteArray before = readBytes(source);
    in.list = {source};
    in.destination = path("pics");
    in.quality = "5";
    in.keepExisting = GetParam().keepExisting;

    const JobSummary summary = convert();

    EXPECT_EQ(summary.end, JobSummary::End::Finished);
    EXPECT_EQ(summary.failed, 0);
    const ImageFacts facts = readImage(source);
    EXPECT_EQ(facts.kind, Kind::Jpeg);
    EXPECT_EQ(facts.width, 64);
    if (GetParam().keepExisting) {
        EXPECT_EQ(readBytes(source), before);
        EXPECT_EQ(summary.skipped, 1);
    } else {
        EXPECT_NE(readBytes(source), before);
        EXPECT_EQ(summary.written, 1);
    }
    EXPECT_EQ(QDir(path("pics")).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_P(InPlaceTest, ResizeReplacesEachSourceWithItsScaledCopyOnlyWhenAllowed)
{
    in.list = {image("pics/a.png", 40, 30), image("pics/b.jpg", 50, 20)};
    const QByteArray beforeA = readBytes(in.list[0]);
    const QByteArray beforeB = readBytes(in.list[1]);
    in.destination = path("pics");
    in.width = "16";
    in.height = "12";
    in.keepExisting = GetParam().keepExisting;

    const JobSummary summary = resize(4);

    EXPECT_EQ(view.log.value(view.log.size() - 5), "status 1 [Finished.]");
    if (GetParam().keepExisting) {
        EXPECT_EQ(readBytes(in.list[0]), beforeA);
        EXPECT_EQ(readBytes(in.list[1]), beforeB);
        EXPECT_EQ(summary.skipped, 2);
    } else {
        for (const QString& source : in.list) {
            const ImageFacts facts = readImage(source);
            EXPECT_EQ(facts.kind, kindOfName(source));
            EXPECT_EQ(facts.width, 16);
            EXPECT_EQ(facts.height, 12);
        }
        EXPECT_EQ(summary.written, 2);
    }
    EXPECT_EQ(QDir(path("pics")).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

INSTANTIATE_TEST_SUITE_P(Both, InPlaceTest, ::testing::ValuesIn(kKeepCases), keepCaseName);

TEST_F(JobTest, FailingInPlaceItemLeavesItsSourceIntact)
{
    const QString bad = path("pics/bad.jpg");
    const QString truncated = path("pics/cut.png");
    const QString good = image("pics/good.png", 40, 30);
    image("pics/cut.png", 80, 60);
    writeBytes(bad, QByteArray::fromHex("ffd8ffe000104a464946") + QByteArray(300, 'z'));
    writeBytes(truncated, readBytes(truncated).left(200));
    const QByteArray badBefore = readBytes(bad);
    const QByteArray truncatedBefore = readBytes(truncated);
    in.list = {bad, truncated, good};
    in.destination = path("pics");
    in.width = "20";
    in.height = "10";

    const JobSummary summary = resize();

    EXPECT_EQ(readBytes(bad), badBefore);
    EXPECT_EQ(readBytes(truncated), truncatedBefore);
    EXPECT_EQ(readImage(good).width, 20);
    EXPECT_EQ(summary.failed, 2);
    EXPECT_EQ(view.log.value(view.log.size() - 5), "status 1 [Finished. 2 of 3 files failed.]");
    EXPECT_EQ(QDir(path("pics")).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

QByteArray pngChunk(const char* type, const QByteArray& data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(data.size(), chunk.data());
    const QByteArray body = QByteArray(type) + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), body.size()),
                          crc.data());
    return chunk + body + crc;
}

// A well-formed PNG whose header claims 100000 x 100000 pixels.
QByteArray hugePng()
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(100000, header.data());
    qToBigEndian<quint32>(100000, header.data() + 4);
    header[8] = 8;  // bit depth
    header[9] = 2;  // RGB
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IDAT", QByteArray::fromHex("789c030000000001")) + pngChunk("IEND", {});
}

struct BadSourceCase {
    const char* name;
    const char* fileName;
    std::function<void(const QString& path)> make;
};

class BadSourceTest : public JobTest, public ::testing::WithParamInterface<BadSourceCase> {};

TEST_P(BadSourceTest, FailsThatItemWithAReasonAndTheRunGoesOn)
{
    const QString bad = path(QString("src/") + GetParam().fileName);
    in.list = {image("src/first.png", 12, 8), bad, image("src/last.gif", 9, 7)};
    GetParam().make(bad);
    const QByteArray before = readBytes(bad);
    in.destination = folder("out");

    const JobSummary summary = convert();

    ASSERT_EQ(summary.failures.size(), 1);
    EXPECT_EQ(summary.failures[0].source, bad);
    EXPECT_FALSE(summary.failures[0].reason.trimmed().isEmpty());
    EXPECT_EQ(summary.written, 2);
    EXPECT_EQ(readBytes(bad), before);
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
              (QStringList{"first.jpg", "last.jpg"}));
    EXPECT_EQ(view.log.value(view.log.size() - 5), "status 1 [Finished. 1 of 3 files failed.]");
}

INSTANTIATE_TEST_SUITE_P(
    Sources, BadSourceTest,
    ::testing::Values(
        BadSourceCase{"TruncatedJpeg", "cut.jpg",
                      [](const QString& p) {
                          writeImage(p, 64, 64, Kind::Jpeg);
                          writeBytes(p, readBytes(p).left(readBytes(p).size() / 3));
                      }},
        BadSourceCase{"HugePngHeader", "huge.png", [](const QString& p) { writeBytes(p, hugePng()); }},
        BadSourceCase{"RandomBytes", "noise.jpg",
                      [](const QString& p) {
                          QByteArray noise;
                          for (int i = 0; i < 4096; ++i)
                              noise.append(char((i * 7919 + 13) % 251));
                          writeBytes(p, noise);
                      }},
        BadSourceCase{"TextFile", "notes.gif", [](const QString& p) { writeBytes(p, "just some words\n"); }},
        BadSourceCase{"EmptyFile", "empty.bmp", [](const QString& p) { writeBytes(p, ""); }},
        BadSourceCase{"AFolder", "folder.png", [](const QString& p) { QDir().mkpath(p); }},
        BadSourceCase{"Missing", "gone.tif", [](const QString&) {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JobTest, DestinationEndingInASeparatorGetsASecondOne)
{
    in.list = {image("src/a.png", 6, 4)};
    in.destination = folder("out") + "/";
    convert();
    ASSERT_EQ(view.reports.size(), 1);
    EXPECT_EQ(view.reports[0].output, path("out") + "//a.jpg");
    EXPECT_EQ(readImage(path("out/a.jpg")).kind, Kind::Jpeg);
}

TEST_F(JobTest, ResizeGivesEverySourceTheExactSizeWhateverItsProportions)
{
    in.list = {image("src/wide.png", 100, 50), image("src/tall.gif", 30, 90),
               image("src/square.bmp", 64, 64)};
    in.destination = folder("out");
    in.width = "800";
    in.height = "600";

    const JobSummary summary = resize();

    EXPECT_EQ(summary.written, 3);
    for (const char* name : {"wide.png", "tall.gif", "square.bmp"}) {
        const ImageFacts facts = readImage(path("out/") + name);
        EXPECT_EQ(facts.kind, kindOfName(name)) << name;
        EXPECT_EQ(facts.width, 800) << name;
        EXPECT_EQ(facts.height, 600) << name;
    }
}

// a.png is converted to a.jpg in place, and a.jpg is the next item: it must read the new
// a.jpg, whatever the number of workers and however the destination is spelled.
struct ChainCase {
    const char* name;
    int jobs;
    const char* destinationSuffix;  // appended to the folder's path
    bool throughLink;
    bool secondIsALinkToTheFile = false;  // the second item names a.jpg through a file link
};

class ChainTest : public JobTest, public ::testing::WithParamInterface<ChainCase> {};

TEST_P(ChainTest, LaterItemReadsTheOutputOfAnEarlierOne)
{
    const ChainCase& c = GetParam();
    in.list = {image("pics/a.png", 40, 20), image("pics/a.jpg", 10, 10), image("pics/b.png", 8, 8)};
    QString second = "pics/a.jpg";
    if (c.secondIsALinkToTheFile) {
        ASSERT_TRUE(QFile::link(path("pics/a.jpg"), path("pics/alias.jpg")));
        in.list[1] = path("pics/alias.jpg");
        second = "pics/alias.jpg";
    }
    QString destination = path("pics");
    if (c.throughLink) {
        ASSERT_TRUE(QFile::link(path("pics"), path("link")));
        destination = path("link");
    }
    in.destination = destination + c.destinationSuffix;

    const JobSummary summary = convert(c.jobs);

    EXPECT_EQ(summary.written, 3);
    for (const QString& output : {QString("pics/a.jpg"), second}) {
        const ImageFacts facts = readImage(path(output));
        EXPECT_EQ(facts.kind, Kind::Jpeg) << output.toStdString();
        EXPECT_EQ(facts.width, 40) << output.toStdString();
        EXPECT_EQ(facts.height, 20) << output.toStdString();
    }
    EXPECT_EQ(readImage(path("pics/b.jpg")).width, 8);
}

INSTANTIATE_TEST_SUITE_P(Spellings, ChainTest,
                         ::testing::Values(ChainCase{"OneWorker", 1, "", false},
                                           ChainCase{"FourWorkers", 4, "", false},
                                           ChainCase{"FourWorkersDotFolder", 4, "/.", false},
                                           ChainCase{"FourWorkersSeparator", 4, "/", false},
                                           ChainCase{"FourWorkersThroughLink", 4, "", true},
                                           ChainCase{"FourWorkersFileLink", 4, "", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(JobTest, DestinationReplacedByAFileDuringTheRunFailsTheRestAndTouchesNothing)
{
    for (const char* name : {"a", "b", "c"})
        in.list << image(QString("src/%1.png").arg(name), 6, 4);
    QList<QByteArray> sources;
    for (const QString& source : in.list)
        sources << readBytes(source);
    in.destination = folder("out");
    view.afterItem[1] = [&] {
        QDir(in.destination).removeRecursively();
        writeBytes(in.destination, "not a folder");
    };

    const JobSummary summary = convert(4);

    EXPECT_EQ(summary.end, JobSummary::End::Finished);
    EXPECT_EQ(summary.written, 1);
    EXPECT_EQ(summary.failed, 2);
    for (const jobs::ItemReport& failure : summary.failures) {
        EXPECT_FALSE(failure.reason.trimmed().isEmpty()) << failure.source.toStdString();
    }
    EXPECT_EQ(readBytes(in.destination), "not a folder");
    for (int i = 0; i < in.list.size(); ++i)
        EXPECT_EQ(readBytes(in.list[i]), sources[i]);
    EXPECT_EQ(view.log.value(view.log.size() - 5), "status 1 [Finished. 2 of 3 files failed.]");
}

class FolderInTheWayTest : public JobTest, public ::testing::WithParamInterface<KeepCase> {};

TEST_P(FolderInTheWayTest, ItemFailsAndTheFolderKeepsItsContent)
{
    for (const char* name : {"a", "b", "c"})
        in.list << image(QString("src/%1.png").arg(name), 6, 4);
    in.destination = folder("out");
    folder("out/b.jpg");
    writeBytes(path("out/b.jpg/inside.txt"), "keep me");
    in.keepExisting = GetParam().keepExisting;

    const JobSummary summary = convert(4);

    ASSERT_EQ(view.reports.size(), 3);
    EXPECT_EQ(view.reports[1].outcome, ItemOutcome::Failed);
    EXPECT_FALSE(view.reports[1].reason.isEmpty());
    EXPECT_EQ(readBytes(path("out/b.jpg/inside.txt")), "keep me");
    EXPECT_EQ(readImage(path("out/a.jpg")).kind, Kind::Jpeg);
    EXPECT_EQ(readImage(path("out/c.jpg")).kind, Kind::Jpeg);
    EXPECT_EQ(summary.failed, 1);
}

INSTANTIATE_TEST_SUITE_P(Both, FolderInTheWayTest, ::testing::ValuesIn(kKeepCases), keepCaseName);

}  // namespace
}  // namespace quarbel::testing
