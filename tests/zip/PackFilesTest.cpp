// Packing a batch's output files in one call.

#include "ZipTestSupport.h"

#include "zip/PackFiles.h"

#include <QDir>
#include <QFileInfo>

namespace quarbel::zip::test {
namespace {

using PackFiles = ZipTest;

TEST_F(PackFiles, EntriesFollowTheListUnderTheirFileNames)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("out/deeper")));
    const QStringList files = {writeFile(QStringLiteral("out/deeper/b.png"), "bee"),
                               writeFile(QStringLiteral("out/a.jpg"), "ay"),
                               writeFile(QStringLiteral("out/c.gif"), "sea")};
    const QString archive = path(QStringLiteral("batch.zip"));
    ASSERT_TRUE(packFiles(files, archive, QStringLiteral("Quarbel Image Converter 1.0")));

    const QJsonObject seen = inspectWithPython(archive);
    EXPECT_EQ(seen.value(QStringLiteral("comment")).toString(),
              QStringLiteral("Quarbel Image Converter 1.0"));
    const QJsonArray entries = seen.value(QStringLiteral("entries")).toArray();
    ASSERT_EQ(entries.size(), 3);
    const QStringList names = {QStringLiteral("b.png"), QStringLiteral("a.jpg"), QStringLiteral("c.gif")};
    const QList<QByteArray> data = {"bee", "ay", "sea"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(entries[i].toObject().value(QStringLiteral("name")).toString(), names[i]);
        EXPECT_EQ(entryData(entries[i].toObject()), data[i]);
    }
}

TEST_F(PackFiles, NothingIsWrittenWhenAFileIsMissingOrTheListEmpty)
{
    const QByteArray old = "previous archive";
    const QString archive = writeFile(QStringLiteral("batch.zip"), old);
    const QString present = writeFile(QStringLiteral("a.jpg"), "ay");
    const QString missing = path(QStringLiteral("gone.jpg"));

    const Result r = packFiles({present, missing}, archive, QString());
    EXPECT_EQ(r.error, Error::SourceMissing);
    EXPECT_TRUE(r.reason.contains(missing));
    EXPECT_EQ(readFile(archive), old);

    EXPECT_EQ(packFiles({}, archive, QString()).error, Error::NothingToPack);
    EXPECT_EQ(readFile(archive), old);
    EXPECT_EQ(packFiles({present}, archive, QString(), Overwrite::Refuse).error, Error::TargetExists);
    EXPECT_EQ(readFile(archive), old);

    const QString fresh = path(QStringLiteral("fresh.zip"));
    EXPECT_EQ(packFiles({}, fresh, QString()).error, Error::NothingToPack);
    EXPECT_FALSE(QFileInfo::exists(fresh));
}

}  // namespace
}  // namespace quarbel::zip::test
