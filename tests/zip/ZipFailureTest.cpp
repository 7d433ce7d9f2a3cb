// What the writer refuses, and that a refusal or a failure loses nothing: no entry added,
// no archive written, an existing archive left as it was.

#include "ZipTestSupport.h"

#include "zip/ZipClass.h"

#include <QDir>
#include <QFileInfo>

namespace quarbel::zip::test {
namespace {

using ZipFailure = ZipTest;

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST_F(ZipFailure, SourcesThatAreNotFilesAddNothing)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder")));
    const QString sources[] = {path(QStringLiteral("missing.jpg")), path(QStringLiteral("folder")),
                               QStringLiteral("/dev/zero"), QString()};
    ZipClass zip;
    ASSERT_TRUE(zip.AddFile(writeFile(QStringLiteral("kept.txt"), "kept")));
    for (const QString& source : sources) {
        SCOPED_TRACE(source.toStdString());
        const Result r = zip.AddFile(source);
        EXPECT_FALSE(r);
        EXPECT_EQ(r.error, Error::SourceMissing);
        EXPECT_FALSE(r.reason.isEmpty());
        EXPECT_EQ(zip.FileCount(), 1);
    }
    // The archive holds just the one good entry.
    const QString archive = path(QStringLiteral("one.zip"));
    ASSERT_TRUE(zip.WriteZip(archive, Overwrite::Refuse));
    const QJsonArray entries = inspectWithPython(archive).value(QStringLiteral("entries")).toArray();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entryData(entries[0].toObject()), QByteArray("kept"));
}

TEST_F(ZipFailure, UnreadableSourcesAreReportedAndAddNothing)
{
    // A file without read permission (unless the tests run with rights that read anything),
    // and a file that opens but fails on the first read.
    QStringList sources = {QStringLiteral("/proc/self/mem")};
    const QString locked = writeFile(QStringLiteral("locked.txt"), "secret");
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::Permissions()));
    if (QFile probe(locked); !probe.open(QIODevice::ReadOnly))
        sources.append(locked);
    ZipClass zip;
    for (const QString& source : sources) {
        SCOPED_TRACE(source.toStdString());
        const Result r = zip.AddFile(source);
        EXPECT_EQ(r.error, Error::SourceUnreadable);
        EXPECT_TRUE(r.reason.contains(source));
        EXPECT_EQ(zip.FileCount(), 0);
    }
}

TEST_F(ZipFailure, ExistingTargetIsKeptWhenNotToBeReplaced)
{
    const QByteArray old = "an archive the user already has";
    const QString archive = writeFile(QStringLiteral("old.zip"), old);
    ZipClass zip;
    ASSERT_TRUE(zip.AddFile(writeFile(QStringLiteral("a.txt"), "new content")));
    const Result r = zip.WriteZip(archive, Overwrite::Refuse);
    EXPECT_EQ(r.error, Error::TargetExists);
    EXPECT_EQ(readFile(archive), old);
    // Nothing else was left behind in the folder either.
    EXPECT_EQ(filesIn(m_dir.path()), QStringList({QStringLiteral("a.txt"), QStringLiteral("old.zip")}));
}

TEST_F(ZipFailure, ExistingTargetIsReplacedByTheCompleteArchive)
{
    const QString archive = writeFile(QStringLiteral("old.zip"), QByteArray(100000, 'x'));
    ZipClass zip;
    ASSERT_TRUE(zip.AddFile(writeFile(QStringLiteral("a.txt"), "new content")));
    ASSERT_TRUE(zip.WriteZip(archive, Overwrite::Replace));
    const QJsonArray entries = inspectWithPython(archive).value(QStringLiteral("entries")).toArray();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entryData(entries[0].toObject()), QByteArray("new content"));
    EXPECT_EQ(filesIn(m_dir.path()), QStringList({QStringLiteral("a.txt"), QStringLiteral("old.zip")}));
}

TEST_F(ZipFailure, FailedWriteLeavesTheOldArchiveAlone)
{
    const QByteArray old = "an archive the user already has";
    const QString archive = writeFile(QStringLiteral("old.zip"), old);
    ZipClass zip;
    ASSERT_TRUE(zip.AddFile(writeFile(QStringLiteral("a.txt"), "new content")));
    zip.SetComment(QString(70000, QLatin1Char('c')));  // beyond the 16-bit comment length
    const Result r = zip.WriteZip(archive, Overwrite::Replace);
    EXPECT_EQ(r.error, Error::NameTooLong);
    EXPECT_EQ(readFile(archive), old);
    EXPECT_EQ(filesIn(m_dir.path()), QStringList({QStringLiteral("a.txt"), QStringLiteral("old.zip")}));
}

TEST_F(ZipFailure, TargetsThatCannotBeWritten)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.zip")));
    ZipClass zip;
    ASSERT_TRUE(zip.AddFile(writeFile(QStringLiteral("a.txt"), "content")));

    for (Overwrite mode : {Overwrite::Refuse, Overwrite::Replace}) {
        const Result asFolder = zip.WriteZip(path(QStringLiteral("folder.zip")), mode);
        EXPECT_EQ(asFolder.error, Error::TargetIsFolder);
        EXPECT_TRUE(QFileInfo(path(QStringLiteral("folder.zip"))).isDir());
    }
    const Result noFolder = zip.WriteZip(path(QStringLiteral("missing/out.zip")), Overwrite::Replace);
    EXPECT_EQ(noFolder.error, Error::WriteFailed);
    EXPECT_FALSE(noFolder.reason.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("missing"))));
}

TEST_F(ZipFailure, TooLongNamesAndCommentsAreRefusedAndAddNothing)
{
    const QString source = writeFile(QStringLiteral("a.txt"), "content");
    ZipClass zip;
    // 65535 bytes is the most a 16-bit length holds; two-byte characters count twice.
    EXPECT_TRUE(zip.AddFile(source, QString(65535, QLatin1Char('n'))));
    EXPECT_EQ(zip.AddFile(source, QString(65536, QLatin1Char('n'))).error, Error::NameTooLong);
    EXPECT_EQ(zip.AddFile(source, QString(32768, QChar(0x00FC))).error, Error::NameTooLong);
    EXPECT_EQ(zip.AddFile(source, {}, QString(65536, QLatin1Char('c'))).error, Error::NameTooLong);
    EXPECT_EQ(zip.FileCount(), 1);
    // The refused entries left no data behind: the archive is just the one entry.
    const QString archive = path(QStringLiteral("long.zip"));
    ASSERT_TRUE(zip.WriteZip(archive, Overwrite::Refuse));
    const qint64 expected = 30 + 65535 + zip.entries()[0].fields().compressedSize + 46 + 65535 + 22;
    EXPECT_EQ(QFileInfo(archive).size(), expected);
    const QJsonArray entries = inspectWithPython(archive).value(QStringLiteral("entries")).toArray();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].toObject().value(QStringLiteral("name")).toString().size(), 65535);
}

TEST_F(ZipFailure, AddedFileIsKeptAsItWasWhenAdded)
{
    const QString source = writeFile(QStringLiteral("a.txt"), "before");
    ZipClass zip;
    ASSERT_TRUE(zip.AddFile(source));
    ASSERT_TRUE(QFile::remove(source));
    const QString archive = path(QStringLiteral("kept.zip"));
    ASSERT_TRUE(zip.WriteZip(archive, Overwrite::Refuse));
    const QJsonArray entries = inspectWithPython(archive).value(QStringLiteral("entries")).toArray();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entryData(entries[0].toObject()), QByteArray("before"));
}

}  // namespace
}  // namespace quarbel::zip::test
