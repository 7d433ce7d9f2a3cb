// Archives read back by the tools people use: Info-ZIP's unzip and zipinfo, and Python's
// zipfile.

#include "ZipTestSupport.h"

#include "zip/ZipClass.h"

#include <QJsonArray>

namespace quarbel::zip::test {
namespace {

using ZipReadBack = ZipTest;

QJsonArray entriesOf(const QJsonObject& seen) { return seen.value(QStringLiteral("entries")).toArray(); }

QString str(const QJsonObject& o, const char* key) { return o.value(QLatin1String(key)).toString(); }

qint64 num(const QJsonObject& o, const char* key) { return o.value(QLatin1String(key)).toInteger(); }

QList<int> dateTime(const QJsonObject& entry)
{
    QList<int> out;
    for (const QJsonValue& v : entry.value(QStringLiteral("date_time")).toArray())
        out.append(v.toInt());
    return out;
}

void expectUnzipVerifies(const QString& archive)
{
    const ToolRun run = runTool(QStringLiteral("unzip"), {QStringLiteral("-t"), archive});
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("No errors detected"))) << run.out.toStdString();
}

// The central directory starts right after the local parts, which follow each other with
// no gap: each is a 30-byte header, the name and the compressed data.
void expectLocalPartsBackToBack(const QJsonObject& seen)
{
    qint64 offset = 0;
    for (const QJsonValue& v : entriesOf(seen)) {
        const QJsonObject entry = v.toObject();
        EXPECT_EQ(num(entry, "header_offset"), offset) << str(entry, "name").toStdString();
        offset += 30 + num(entry, "raw_name_length") + num(entry, "compress_size");
    }
    EXPECT_EQ(num(seen, "start_dir"), offset);
}

TEST_F(ZipReadBack, ToolsReadNamesContentsCommentsAndDates)
{
    struct Source {
        QString name;
        QByteArray bytes;
        QDateTime stamp;
        QString comment;
        QList<int> dosStamp;  // as the archive keeps it: even seconds
    };
    const QList<Source> sources = {
        {QStringLiteral("notes.txt"),
         QByteArray("first line\nsecond line\n").repeated(200),
         QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7)),
         QStringLiteral("some notes"),
         {2021, 3, 4, 5, 6, 6}},
        {QStringLiteral("image.bin"),
         randomBytes(5000, 7),
         QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58)),
         QString(),
         {1999, 12, 31, 23, 59, 58}},
        {QStringLiteral("zeros.dat"),
         QByteArray(100000, '\0'),
         QDateTime(QDate(2030, 1, 1), QTime(0, 0, 1)),
         QStringLiteral("compresses well"),
         {2030, 1, 1, 0, 0, 0}},
    };
    ZipClass zip;
    zip.SetComment(QStringLiteral("Quarbel Image Converter 1.0"));
    for (const Source& s : sources)
        ASSERT_TRUE(zip.AddFile(writeFile(s.name, s.bytes, s.stamp), {}, s.comment));
    EXPECT_EQ(zip.FileCount(), 3);
    const QString archive = path(QStringLiteral("three.zip"));
    ASSERT_TRUE(zip.WriteZip(archive, Overwrite::Refuse));
    // Writing again reads the same entries back from the archive's store.
    ASSERT_TRUE(zip.WriteZip(path(QStringLiteral("again.zip")), Overwrite::Refuse));
    EXPECT_EQ(readFile(path(QStringLiteral("again.zip"))), readFile(archive));

    expectUnzipVerifies(archive);
    const ToolRun listing = runTool(QStringLiteral("zipinfo"), {archive});
    EXPECT_EQ(listing.exitCode, 0) << listing.out.toStdString();
    EXPECT_TRUE(listing.out.contains(QStringLiteral("number of entries: 3")));
    const ToolRun comment = runTool(QStringLiteral("zipinfo"), {QStringLiteral("-z"), archive});
    EXPECT_TRUE(comment.out.contains(QStringLiteral("Quarbel Image Converter 1.0")));
    const ToolRun names = runTool(QStringLiteral("zipinfo"), {QStringLiteral("-1"), archive});
    EXPECT_EQ(
        names.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
        QStringList({QStringLiteral("notes.txt"), QStringLiteral("image.bin"), QStringLiteral("zeros.dat")}));
    const ToolRun piped =
        runTool(QStringLiteral("unzip"), {QStringLiteral("-p"), archive, QStringLiteral("notes.txt")});
    EXPECT_EQ(piped.out.toUtf8(), sources[0].bytes);

    const QJsonObject seen = inspectWithPython(archive);
    EXPECT_EQ(str(seen, "comment"), QStringLiteral("Quarbel Image Converter 1.0"));
    EXPECT_TRUE(seen.value(QStringLiteral("bad")).isNull());
    const QJsonArray entries = entriesOf(seen);
    ASSERT_EQ(entries.size(), sources.size());
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const QJsonObject e = entries[i].toObject();
        SCOPED_TRACE(sources[i].name.toStdString());
        EXPECT_EQ(str(e, "name"), sources[i].name);
        EXPECT_EQ(str(e, "comment"), sources[i].comment);
        EXPECT_EQ(dateTime(e), sources[i].dosStamp);
        EXPECT_EQ(entryData(e), sources[i].bytes);
        EXPECT_EQ(num(e, "crc"), num(e, "data_crc"));
        EXPECT_EQ(num(e, "file_size"), sources[i].bytes.size());
        EXPECT_EQ(num(e, "compress_type"), 8);
        EXPECT_EQ(num(e, "flag_bits"), 2);  // plain ASCII: no UTF-8 mark
        EXPECT_EQ(num(e, "create_system"), 0);
    }
    // Zeros shrink; random bytes cannot.
    EXPECT_LT(num(entries[2].toObject(), "compress_size"), 1000);
    expectLocalPartsBackToBack(seen);
}

TEST_F(ZipReadBack, NonAsciiNamesAndCommentsAreMarkedUtf8)
{
    const QString stored = QStringLiteral("Grüße aus 日本.txt");
    const QString comment = QStringLiteral("für Jürgen");
    ZipClass zip;
    ASSERT_TRUE(zip.AddFile(writeFile(stored, "hallo"), {}, comment));
    ASSERT_TRUE(zip.AddFile(writeFile(QStringLiteral("plain.txt"), "plain"), {},
                            QStringLiteral("Ünïcödé only here")));
    ASSERT_TRUE(zip.AddFile(path(QStringLiteral("plain.txt"))));
    const QString archive = path(QStringLiteral("utf8.zip"));
    ASSERT_TRUE(zip.WriteZip(archive, Overwrite::Refuse));

    expectUnzipVerifies(archive);
    const ToolRun names = runTool(QStringLiteral("zipinfo"), {QStringLiteral("-1"), archive});
    EXPECT_EQ(names.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              QStringList({stored, QStringLiteral("plain.txt"), QStringLiteral("plain.txt")}));
    const ToolRun piped = runTool(QStringLiteral("unzip"), {QStringLiteral("-p"), archive, stored});
    EXPECT_EQ(piped.out, QStringLiteral("hallo"));

    const QJsonArray entries = entriesOf(inspectWithPython(archive));
    ASSERT_EQ(entries.size(), 3);
    const QJsonObject first = entries[0].toObject();
    EXPECT_EQ(str(first, "name"), stored);
    EXPECT_EQ(str(first, "comment"), comment);
    EXPECT_EQ(num(first, "raw_name_length"), stored.toUtf8().size());
    // A non-ASCII comment alone marks its entry too; a plain entry stays unmarked. Marked
    // entries name an NTFS host (10) rather than MS-DOS (0), whose names unzip would convert
    // from the OEM code page.
    struct Mark {
        int flags, system;
    };
    const Mark marks[] = {{2 | 0x0800, 10}, {2 | 0x0800, 10}, {2, 0}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(num(entries[i].toObject(), "flag_bits"), marks[i].flags);
        EXPECT_EQ(num(entries[i].toObject(), "create_system"), marks[i].system);
        EXPECT_EQ(num(entries[i].toObject(), "create_version"), 20);
    }
}

TEST_F(ZipReadBack, GivenNamesAreStoredUnchangedAndDuplicatesKept)
{
    const QString a = writeFile(QStringLiteral("a.txt"), "alpha");
    const QString b = writeFile(QStringLiteral("b.txt"), "beta");
    ZipClass zip;
    ASSERT_TRUE(zip.AddFile(a, QStringLiteral("photos/2024/summer.txt")));
    ASSERT_TRUE(zip.AddFile(b, QStringLiteral("old\\windows\\name.txt")));
    ASSERT_TRUE(zip.AddFile(a, QStringLiteral("same.txt")));
    ASSERT_TRUE(zip.AddFile(b, QStringLiteral("same.txt")));
    ASSERT_EQ(zip.FileCount(), 4);
    const QString archive = path(QStringLiteral("names.zip"));
    ASSERT_TRUE(zip.WriteZip(archive, Overwrite::Refuse));

    const QJsonObject seen = inspectWithPython(archive);
    const QJsonArray entries = entriesOf(seen);
    ASSERT_EQ(entries.size(), 4);
    const QStringList expectedNames = {QStringLiteral("photos/2024/summer.txt"),
                                       QStringLiteral("old\\windows\\name.txt"), QStringLiteral("same.txt"),
                                       QStringLiteral("same.txt")};
    const QList<QByteArray> expectedData = {"alpha", "beta", "alpha", "beta"};
    for (qsizetype i = 0; i < 4; ++i) {
        EXPECT_EQ(str(entries[i].toObject(), "name"), expectedNames[i]);
        EXPECT_EQ(entryData(entries[i].toObject()), expectedData[i]);
    }
    // The stored bytes themselves, right after the first local header.
    const QByteArray z = readFile(archive);
    EXPECT_EQ(z.mid(30, 22), QByteArray("photos/2024/summer.txt"));
    EXPECT_TRUE(z.contains(QByteArray("old\\windows\\name.txt")));
    expectLocalPartsBackToBack(seen);
    expectUnzipVerifies(archive);
}

TEST_F(ZipReadBack, EmptyFileIsRefusedAndTheRestIsPacked)
{
    ZipClass zip;
    const Result refused = zip.AddFile(writeFile(QStringLiteral("empty.txt"), QByteArray()));
    EXPECT_EQ(refused.error, Error::SourceEmpty);
    EXPECT_TRUE(refused.reason.contains(QStringLiteral("empty.txt")));
    EXPECT_EQ(zip.FileCount(), 0);
    ASSERT_TRUE(zip.AddFile(writeFile(QStringLiteral("after.txt"), "after")));
    const QString archive = path(QStringLiteral("empty-entry.zip"));
    ASSERT_TRUE(zip.WriteZip(archive, Overwrite::Refuse));

    expectUnzipVerifies(archive);
    const QJsonObject seen = inspectWithPython(archive);
    const QJsonArray entries = entriesOf(seen);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(str(entries[0].toObject(), "name"), QStringLiteral("after.txt"));
    EXPECT_EQ(entryData(entries[0].toObject()), QByteArray("after"));
    expectLocalPartsBackToBack(seen);
}

// Random bytes do not compress: deflate falls back to stored blocks and the output is a
// little larger than the input, small inputs proportionally the most.
class IncompressibleData : public ZipTest, public ::testing::WithParamInterface<int> {};

TEST_P(IncompressibleData, RoundTrips)
{
    const QByteArray bytes = randomBytes(GetParam(), static_cast<std::uint32_t>(GetParam()));
    ZipClass zip;
    ASSERT_TRUE(zip.AddFile(writeFile(QStringLiteral("noise.bin"), bytes)));
    const QString archive = path(QStringLiteral("noise.zip"));
    ASSERT_TRUE(zip.WriteZip(archive, Overwrite::Refuse));

    expectUnzipVerifies(archive);
    const QJsonArray entries = entriesOf(inspectWithPython(archive));
    ASSERT_EQ(entries.size(), 1);
    const QJsonObject e = entries[0].toObject();
    EXPECT_EQ(entryData(e), bytes);
    EXPECT_EQ(num(e, "crc"), num(e, "data_crc"));
    EXPECT_GE(num(e, "compress_size"), bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Sizes, IncompressibleData,
                         ::testing::Values(1, 7, 50, 99, 4096, 65536 + 3, 1 << 20));

}  // namespace
}  // namespace quarbel::zip::test
