// Camera raw files through quarbel-batch and its confined workers, on DNG files the test
// writes itself (scripts/make-dng: four patches, red, green, blue and grey, as a Bayer mosaic
// or as linear raw data): developed in colour, turned, the camera's EXIF in the outputs; a
// cut file and one claiming a giant size fail alone with their reasons.

#include "../jobs/TestImages.h"
#include "ToolProcess.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace quarbel::testing {
namespace {

void makeDng(const QString& path, const QStringList& options)
{
    runProgram(QUARBEL_SOURCE_DIR "/scripts/make-dng", QStringList{path} + options);
}

struct Developed {
    const char* name;
    QStringList options;
    int width, height;
    // Where the red, green, blue and grey patches land in the upright picture, as fractions
    // of its width and height.
    std::array<std::pair<double, double>, 4> patches;
};

const QStringList kCamera = {"--size",     "96x64",        "--date",    "2024:05:06 07:08:09",
                             "--exposure", "1/250",        "--fnumber", "4",
                             "--iso",      "200",          "--focal",   "35",
                             "--gps",      "48.5,9.25,310"};

class CameraRawTest : public ::testing::Test, public TempTree {
protected:
    ToolRun run(const QStringList& arguments) { return runTool(arguments, folder("scratch")); }
};

TEST_F(CameraRawTest, DevelopedInColourTurnedAndWithTheCamerasExif)
{
    const Developed cases[] = {
        {"bayer", kCamera, 96, 64, {{{0.25, 0.25}, {0.75, 0.25}, {0.25, 0.75}, {0.75, 0.75}}}},
        {"linear",
         kCamera + QStringList{"--kind", "linear"},
         96,
         64,
         {{{0.25, 0.25}, {0.75, 0.25}, {0.25, 0.75}, {0.75, 0.75}}}},
        // Orientation 6: turned a quarter clockwise, so the left column becomes the top row.
        {"turned",
         kCamera + QStringList{"--orientation", "6"},
         64,
         96,
         {{{0.75, 0.25}, {0.75, 0.75}, {0.25, 0.25}, {0.25, 0.75}}}},
    };
    QStringList sources;
    for (const Developed& c : cases) {
        sources.append(path(QString("src/%1.dng").arg(c.name)));
        folder("src");
        makeDng(sources.back(), c.options);
    }
    for (const char* format : {"JPG", "PNG", "TIFF"}) {
        const ToolRun result =
            run(QStringList{"convert", "--format", format, "--dest", folder(format)} + sources);
        ASSERT_EQ(result.exitStatus, 0) << format << ": " << result.err.toStdString();
    }

    for (const Developed& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image(path(QString("JPG/%1.jpg").arg(c.name)));
        ASSERT_EQ(image.width(), c.width);
        ASSERT_EQ(image.height(), c.height);
        // Each patch's own channel leads by far; grey stays grey (the camera's white
        // balance was applied: without it grey comes out green).
        for (int patch = 0; patch < 4; ++patch) {
            const auto [fx, fy] = c.patches[patch];
            const QColor colour = image.pixelColor(int(fx * c.width), int(fy * c.height));
            const int rgb[3] = {colour.red(), colour.green(), colour.blue()};
            if (patch < 3) {
                for (int other = 0; other < 3; ++other) {
                    if (other != patch) {
                        EXPECT_GT(rgb[patch], rgb[other] + 120) << "patch " << patch;
                    }
                }
            } else {
                EXPECT_GT(rgb[1], 60);
                EXPECT_LT(std::max({rgb[0], rgb[1], rgb[2]}) - std::min({rgb[0], rgb[1], rgb[2]}), 16);
            }
        }
    }

    const QByteArray json =
        runProgram("exiftool", {"-j", "-n", "-Make", "-Model", "-DateTimeOriginal", "-ExposureTime",
                                "-FNumber", "-ISO", "-FocalLength", "-GPSLatitude", "-GPSLongitude",
                                "-Orientation", "-r", folder("JPG"), folder("PNG"), folder("TIFF")});
    const QJsonArray files = QJsonDocument::fromJson(json).array();
    ASSERT_EQ(files.size(), 9);
    for (const QJsonValue& file : files) {
        SCOPED_TRACE(file["SourceFile"].toString().toStdString());
        EXPECT_EQ(file["Make"].toString(), "Quarbelcam");
        EXPECT_EQ(file["Model"].toString(), "QR 24");
        EXPECT_EQ(file["DateTimeOriginal"].toString(), "2024:05:06 07:08:09");
        EXPECT_NEAR(file["ExposureTime"].toDouble(), 0.004, 1e-6);
        EXPECT_NEAR(file["FNumber"].toDouble(), 4.0, 1e-6);
        EXPECT_EQ(file["ISO"].toInt(), 200);
        EXPECT_NEAR(file["FocalLength"].toDouble(), 35.0, 1e-6);
        EXPECT_NEAR(file["GPSLatitude"].toDouble(), 48.5, 1e-4);
        EXPECT_NEAR(file["GPSLongitude"].toDouble(), 9.25, 1e-4);
        EXPECT_EQ(file["Orientation"].toInt(1), 1);  // upright pixels (PNG files may leave it out)
    }
}

TEST_F(CameraRawTest, DamagedRawFilesFailAloneWithTheirReasons)
{
    folder("src");
    const QString good = path("src/good.dng");
    makeDng(good, {"--size", "96x64"});
    // The directories come first, so the cut loses pixels, not structure.
    makeDng(path("src/cut.dng"), {"--size", "96x64", "--cut", "4000"});
    makeDng(path("src/giant.dng"), {"--size", "96x64", "--claim", "60000x60000"});
    const ToolRun result = run({"convert", "--format", "JPG", "--dest", folder("out"), "--report", "-",
                                path("src/cut.dng"), path("src/giant.dng"), good});
    EXPECT_EQ(result.exitStatus, 1) << result.err.toStdString();

    struct Expected {
        const char* source;
        const char* status;
        const char* reason;
    };
    const Expected expected[] = {{"cut.dng", "failed", "truncated or damaged"},
                                 {"giant.dng", "failed", "larger than"},
                                 {"good.dng", "written", ""}};
    QHash<QString, QJsonObject> items;
    for (const QString& line : result.outLines()) {
        const QJsonObject item = QJsonDocument::fromJson(line.toUtf8()).object();
        if (item["type"] == "item")
            items.insert(QFileInfo(item["source"].toString()).fileName(), item);
    }
    ASSERT_EQ(items.size(), 3) << result.out.toStdString();
    for (const Expected& e : expected) {
        const QJsonObject item = items.value(e.source);
        EXPECT_EQ(item["status"].toString(), e.status) << e.source;
        EXPECT_TRUE(item["reason"].toString().contains(e.reason))
            << e.source << ": " << item["reason"].toString().toStdString();
    }
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files), QStringList{"good.jpg"});

    // A resize keeps the source's format, which cannot be written: it fails, writing nothing.
    const ToolRun resized = run(
        {"resize", "--width", "48", "--height", "32", "--dest", folder("resized"), "--report", "-", good});
    EXPECT_EQ(resized.exitStatus, 1);
    EXPECT_TRUE(resized.out.contains("cannot be written as camera raw")) << resized.out.toStdString();
    EXPECT_TRUE(QDir(path("resized")).entryList(QDir::Files).isEmpty());
}

}  // namespace
}  // namespace quarbel::testing
