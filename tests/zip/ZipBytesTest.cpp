// The bytes of small archives, checked field by field against the record layouts.

#include "ZipTestSupport.h"

#include "zip/ZipClass.h"

namespace quarbel::zip::test {
namespace {

using ZipBytes = ZipTest;

TEST_F(ZipBytes, OneFileArchiveHasEveryFieldInPlace)
{
    // "123456789" is the standard CRC-32 check input; its CRC is 0xCBF43926.
    const QString source =
        writeFile(QStringLiteral("check.txt"), "123456789", QDateTime(QDate(2024, 5, 17), QTime(13, 45, 37)));
    ZipClass zip;
    zip.SetComment(QStringLiteral("archive note"));
    ASSERT_TRUE(zip.AddFile(source, {}, QStringLiteral("entry note")));
    ASSERT_TRUE(zip.WriteZip(path(QStringLiteral("one.zip")), Overwrite::Refuse));
    const QByteArray z = readFile(path(QStringLiteral("one.zip")));

    // 13:45:37 -> 37 / 2 + 45 * 32 + 13 * 2048 = 18 + 1440 + 26624
    const std::uint16_t dosTime = 28082;
    // 2024-05-17 -> 17 + 5 * 32 + 44 * 512 = 17 + 160 + 22528
    const std::uint16_t dosDate = 22705;

    // Local header.
    EXPECT_EQ(u32(z, 0), 0x04034B50u);
    EXPECT_EQ(u16(z, 4), 20);
    EXPECT_EQ(u16(z, 6), 2);
    EXPECT_EQ(u16(z, 8), 8);
    EXPECT_EQ(u16(z, 10), dosTime);
    EXPECT_EQ(u16(z, 12), dosDate);
    EXPECT_EQ(u32(z, 14), 0xCBF43926u);
    const std::uint32_t packed = u32(z, 18);
    EXPECT_EQ(u32(z, 22), 9u);
    EXPECT_EQ(u16(z, 26), 9);  // "check.txt"
    EXPECT_EQ(u16(z, 28), 0);
    EXPECT_EQ(z.mid(30, 9), QByteArray("check.txt"));
    // The data are a raw deflate stream that ends exactly at the stored size.
    EXPECT_EQ(rawInflate(z.mid(39, packed)), QByteArray("123456789"));

    // Central directory header right after the local part.
    const qsizetype c = 39 + packed;
    EXPECT_EQ(u32(z, c + 0), 0x02014B50u);
    EXPECT_EQ(u16(z, c + 4), 20);
    EXPECT_EQ(u16(z, c + 6), 20);
    EXPECT_EQ(u16(z, c + 8), 2);
    EXPECT_EQ(u16(z, c + 10), 8);
    EXPECT_EQ(u16(z, c + 12), dosTime);
    EXPECT_EQ(u16(z, c + 14), dosDate);
    EXPECT_EQ(u32(z, c + 16), 0xCBF43926u);
    EXPECT_EQ(u32(z, c + 20), packed);
    EXPECT_EQ(u32(z, c + 24), 9u);
    EXPECT_EQ(u16(z, c + 28), 9);
    EXPECT_EQ(u16(z, c + 30), 0);
    EXPECT_EQ(u16(z, c + 32), 10);  // "entry note"
    EXPECT_EQ(u16(z, c + 34), 0);
    EXPECT_EQ(u16(z, c + 36), 0x0020);
    EXPECT_EQ(u32(z, c + 38), 0u);
    EXPECT_EQ(u32(z, c + 42), 0u);  // the only local header starts the file
    EXPECT_EQ(z.mid(c + 46, 9), QByteArray("check.txt"));
    EXPECT_EQ(z.mid(c + 55, 10), QByteArray("entry note"));

    // End record: 46 + 9 + 10 = 65 bytes of central directory at offset c.
    const qsizetype e = c + 65;
    EXPECT_EQ(u32(z, e + 0), 0x06054B50u);
    EXPECT_EQ(u16(z, e + 4), 0);
    EXPECT_EQ(u16(z, e + 6), 0);
    EXPECT_EQ(u16(z, e + 8), 1);
    EXPECT_EQ(u16(z, e + 10), 1);
    EXPECT_EQ(u32(z, e + 12), 65u);
    EXPECT_EQ(u32(z, e + 16), static_cast<std::uint32_t>(c));
    EXPECT_EQ(u16(z, e + 20), 12);  // "archive note"
    EXPECT_EQ(z.mid(e + 22), QByteArray("archive note"));
    EXPECT_EQ(z.size(), e + 22 + 12);
}

TEST_F(ZipBytes, ArchiveWithoutEntriesIsTheEndRecordAndComment)
{
    struct Case {
        QString comment;
        QByteArray stored;
    };
    const Case cases[] = {
        {QString(), QByteArray()},
        {QStringLiteral("Quarbel Image Converter 1.0"), QByteArray("Quarbel Image Converter 1.0")},
        {QStringLiteral("Fotos für Jürgen"), QByteArray("Fotos f\xC3\xBCr J\xC3\xBCrgen")},
    };
    int n = 0;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.stored.toStdString());
        ZipClass zip;
        zip.SetComment(test.comment);
        EXPECT_EQ(zip.FileCount(), 0);
        const QString archive = path(QStringLiteral("empty%1.zip").arg(n++));
        ASSERT_TRUE(zip.WriteZip(archive, Overwrite::Refuse));
        const QByteArray z = readFile(archive);
        ASSERT_EQ(z.size(), 22 + test.stored.size());
        EXPECT_EQ(u32(z, 0), 0x06054B50u);
        EXPECT_EQ(u16(z, 8), 0);
        EXPECT_EQ(u16(z, 10), 0);
        EXPECT_EQ(u32(z, 12), 0u);
        EXPECT_EQ(u32(z, 16), 0u);
        EXPECT_EQ(u16(z, 20), test.stored.size());
        EXPECT_EQ(z.mid(22), test.stored);
        // Python reads it as an empty archive with that comment.
        const QJsonObject seen = inspectWithPython(archive);
        EXPECT_TRUE(seen.value(QStringLiteral("entries")).toArray().isEmpty());
        EXPECT_EQ(seen.value(QStringLiteral("comment")).toString(), test.comment);
    }
}

}  // namespace
}  // namespace quarbel::zip::test
