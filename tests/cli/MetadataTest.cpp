// quarbel-batch and the newer formats as a person meets them: a phone photo's EXIF, XMP and
// IPTC in every output that can hold them (read back by exiftool), none with --strip, and
// damaged WebP and HEIC files failing alone.

#include "../jobs/TestImages.h"
#include "ToolProcess.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace quarbel::testing {
namespace {

// exiftool's numeric view of the tags a file carries, by file name.
QHash<QString, QJsonObject> tagsOf(const QString& folder)
{
    const QByteArray json = runProgram(
        "exiftool", {"-j", "-n", "-Make", "-Model", "-DateTimeOriginal", "-GPSLatitude", "-Orientation",
                     "-XMP:Title", "-IPTC:Keywords", "-ImageWidth", "-ImageHeight", folder});
    QHash<QString, QJsonObject> tags;
    for (const QJsonValue& file : QJsonDocument::fromJson(json).array())
        tags.insert(QFileInfo(file["SourceFile"].toString()).fileName(), file.toObject());
    return tags;
}

class NewerFormatsTest : public ::testing::Test, public TempTree {
protected:
    // A 64 x 48 JPEG stored sideways, as phones write them: orientation 6, so it shows 48 x 64.
    QString photo()
    {
        const QString file = image("src/photo.jpg", 64, 48);
        runProgram("exiftool", {"-q", "-overwrite_original", "-Make=Quarbelcam", "-Model=QX 1",
                                "-DateTimeOriginal=2024:05:06 07:08:09", "-GPSLatitude=48.5",
                                "-GPSLatitudeRef=N", "-GPSLongitude=9.25", "-GPSLongitudeRef=E",
                                "-Orientation#=6", "-IPTC:Keywords=beach", "-XMP:Title=Holiday", file});
        return file;
    }
    ToolRun run(const QStringList& arguments) { return runTool(arguments, folder("scratch")); }
};

TEST_F(NewerFormatsTest, PhotoMetadataGoesIntoEveryFormatThatHoldsItAndStripWritesNone)
{
    const QString source = photo();
    const QStringList formats = {"JPG", "PNG", "TIFF", "WEBP", "AVIF", "JXL"};
    for (const QString& format : formats) {
        for (const char* kept : {"kept", "stripped"}) {
            QStringList arguments = {"convert", "--format", format, "--dest", folder(kept), source};
            if (QLatin1String(kept) == QLatin1String("stripped"))
                arguments.append("--strip");
            const ToolRun result = run(arguments);
            ASSERT_EQ(result.exitStatus, 0) << format.toStdString() << ": " << result.err.toStdString();
        }
    }
    ASSERT_EQ(
        run({"resize", "--width", "24", "--height", "32", "--dest", folder("resized"), source}).exitStatus,
        0);

    QHash<QString, QJsonObject> kept = tagsOf(path("kept"));
    kept.insert("resized photo.jpg", tagsOf(path("resized")).value("photo.jpg"));
    ASSERT_EQ(kept.size(), formats.size() + 1);
    for (auto it = kept.cbegin(); it != kept.cend(); ++it) {
        const std::string name = it.key().toStdString();
        const QJsonObject& tags = it.value();
        EXPECT_EQ(tags["Make"].toString(), "Quarbelcam") << name;
        EXPECT_EQ(tags["Model"].toString(), "QX 1") << name;
        EXPECT_EQ(tags["DateTimeOriginal"].toString(), "2024:05:06 07:08:09") << name;
        EXPECT_NEAR(tags["GPSLatitude"].toDouble(), 48.5, 1e-6) << name;
        EXPECT_EQ(tags["Orientation"].toInt(), 1) << name << ": the pixels are turned already";
        EXPECT_EQ(tags["Title"].toString(), "Holiday") << name;
        const bool resized = it.key().startsWith("resized");
        // exiftool 12.57 reads no size from a JPEG XL codestream.
        if (!it.key().endsWith(".jxl")) {
            EXPECT_EQ(tags["ImageWidth"].toInt(), resized ? 24 : 48) << name;
            EXPECT_EQ(tags["ImageHeight"].toInt(), resized ? 32 : 64) << name;
        }
        if (it.key().endsWith(".jpg") || it.key().endsWith(".tiff"))
            EXPECT_EQ(tags["Keywords"].toString(), "beach") << name;
    }

    const QHash<QString, QJsonObject> stripped = tagsOf(path("stripped"));
    ASSERT_EQ(stripped.size(), formats.size());
    for (auto it = stripped.cbegin(); it != stripped.cend(); ++it)
        for (const char* tag : {"Make", "Model", "DateTimeOriginal", "GPSLatitude", "Title", "Keywords"})
            EXPECT_FALSE(it.value().contains(tag)) << it.key().toStdString() << " still has " << tag;
}

// Cut and damaged WebP and HEIC files fail their own item with a reason; the good ones are
// written, and an existing output of a failed item is left as it was.
TEST_F(NewerFormatsTest, DamagedWebpAndHeicFilesFailAloneWithAReason)
{
    const QString png = image("make/in.png", 120, 90);
    folder("src");
    runProgram("cwebp", {"-quiet", "-q", "80", png, "-o", path("src/a-good.webp")});
    runProgram("heif-enc", {"-q", "70", png, "-o", path("src/b-good.heic")});
    const QByteArray webp = readBytes(path("src/a-good.webp"));
    const QByteArray heic = readBytes(path("src/b-good.heic"));
    writeBytes(path("src/c-cut.webp"), webp.left(webp.size() / 2));
    writeBytes(path("src/d-cut.heic"), heic.left(heic.size() / 2));
    QByteArray damaged = heic;
    for (int i = 40; i < 120; ++i)
        damaged[i] = char(damaged[i] ^ 0x5A);
    writeBytes(path("src/e-damaged.heic"), damaged);
    damaged = webp;
    for (int i = 12; i < 40; ++i)
        damaged[i] = char(damaged[i] ^ 0x5A);
    writeBytes(path("src/f-damaged.webp"), damaged);
    const QString out = folder("out");
    writeBytes(out + "/c-cut.png", "an older output of the same name");

    const ToolRun result = run({"convert", "--format", "PNG", "--dest", out, path("src")});

    EXPECT_EQ(result.exitStatus, 1) << result.err.toStdString();
    EXPECT_EQ(readImage(out + "/a-good.png").width, 120);
    EXPECT_EQ(readImage(out + "/b-good.png").width, 120);
    EXPECT_EQ(readBytes(out + "/c-cut.png"), QByteArray("an older output of the same name"));
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 3);
    for (const char* name : {"c-cut.webp", "d-cut.heic", "e-damaged.heic", "f-damaged.webp"}) {
        const QString prefix = "failed: " + path("src/") + name;
        bool found = false;
        for (const QString& line : result.errLines())
            if (line.startsWith(prefix) && line.size() > prefix.size() + out.size() + 20)
                found = true;
        EXPECT_TRUE(found) << name << "\n" << result.err.toStdString();
    }
}

}  // namespace
}  // namespace quarbel::testing
