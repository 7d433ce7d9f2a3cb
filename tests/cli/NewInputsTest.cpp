// JPEG XL, SVG and PDF through quarbel-batch and its confined workers, on files made here
// by the formats' own tools (cjxl, rsvg-convert) and read back by them (djxl): sizes and
// colours, a JPEG kept whole in JPEG XL, and hostile files failing as their own items while
// the run goes on.

#include "../jobs/TestImages.h"
#include "ToolProcess.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QImage>
#include <QProcess>

namespace quarbel::testing {
namespace {

// Left half red, right half blue.
const char kSvg[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- drawn by the test -->
<svg xmlns="http://www.w3.org/2000/svg" width="120" height="90">
  <rect width="60" height="90" fill="#ff0000"/><rect x="60" width="60" height="90" fill="#0000ff"/>
</svg>
)";

void expectRedAndBlue(const QString& file, QSize size, int tolerance)
{
    const QImage image(file);
    ASSERT_EQ(image.size(), size) << file.toStdString();
    const QColor left = image.pixelColor(size.width() / 4, size.height() / 2);
    const QColor right = image.pixelColor(size.width() * 3 / 4, size.height() / 2);
    EXPECT_NEAR(left.red(), 255, tolerance);
    EXPECT_NEAR(left.blue(), 0, tolerance);
    EXPECT_NEAR(right.red(), 0, tolerance);
    EXPECT_NEAR(right.blue(), 255, tolerance);
}

QByteArray pixelsOf(const QString& file)
{
    const QImage image = QImage(file).convertToFormat(QImage::Format_RGB32);
    return {reinterpret_cast<const char*>(image.constBits()), qsizetype(image.sizeInBytes())};
}

// The reason the tool gave for a source that failed ("" when it did not fail).
QString reasonFor(const ToolRun& run, const QString& source)
{
    for (const QString& line : run.errLines())
        if (line.startsWith("failed: " + source + " -> "))
            return line.section(": ", 2);
    return {};
}

class NewInputsTest : public ::testing::Test, public TempTree {
protected:
    ToolRun run(const QStringList& arguments) { return runTool(arguments, folder("scratch")); }
};

TEST_F(NewInputsTest, SvgPdfAndJxlAreReadAndHostileOnesFailAlone)
{
    const QString src = folder("src");
    writeBytes(src + "/a.svg", kSvg);
    runProgram("rsvg-convert", {"-f", "pdf", "-o", src + "/b.pdf", src + "/a.svg"});
    runProgram("rsvg-convert", {"-f", "png", "-o", path("c.png"), src + "/a.svg"});
    runProgram("cjxl", {"-q", "95", path("c.png"), src + "/c.jxl"});
    const QByteArray jxl = readBytes(src + "/c.jxl");
    writeBytes(src + "/d-cut.jxl", jxl.left(jxl.size() / 3));
    writeBytes(src + "/e-huge.svg",
               R"(<svg xmlns="http://www.w3.org/2000/svg" width="200000" height="200000">)"
               R"(<rect width="200000" height="200000" fill="red"/></svg>)");
    // Ten thousand pages: only the first is read.
    QStringList pages = {"-f", "pdf", "-o", src + "/f-pages.pdf"};
    for (int i = 0; i < 10000; ++i)
        pages << src + "/a.svg";
    runProgram("rsvg-convert", pages);
    writeBytes(src + "/g-cut.pdf", readBytes(src + "/b.pdf").left(200));
    writeBytes(src + "/h.svgz", runProgram("gzip", {"-c", src + "/a.svg"}));

    const QString out = folder("out");
    const ToolRun result = run({"convert", "--format", "PNG", "--dest", out, src});

    EXPECT_EQ(result.exitStatus, 1) << result.err.toStdString();
    expectRedAndBlue(out + "/a.png", {120, 90}, 2);
    // rsvg-convert's page is 120 x 90 pixels at 96 dpi: 90 x 67.5 points, so 72 dpi.
    expectRedAndBlue(out + "/b.png", {90, 68}, 2);
    expectRedAndBlue(out + "/c.png", {120, 90}, 12);
    expectRedAndBlue(out + "/f-pages.png", {90, 68}, 2);
    expectRedAndBlue(out + "/h.png", {120, 90}, 2);
    EXPECT_TRUE(reasonFor(result, src + "/d-cut.jxl").contains("JPEG XL")) << result.err.toStdString();
    EXPECT_TRUE(reasonFor(result, src + "/e-huge.svg").contains("larger than")) << result.err.toStdString();
    EXPECT_FALSE(reasonFor(result, src + "/g-cut.pdf").isEmpty()) << result.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 5);
}

TEST_F(NewInputsTest, JxlIsWrittenAndAJpegAtQuality100IsKeptWhole)
{
    const QString png = image("src/a.png", 120, 90);
    const QString jpeg = image("src/b.jpg", 64, 48);
    runProgram("exiftool", {"-q", "-overwrite_original", "-Make=Quarbelcam", "-XMP:Title=Holiday", jpeg});
    writeBytes(path("src/c.svg"), kSvg);
    const QString out = folder("out");
    ASSERT_EQ(run({"convert", "--format", "jxl", "--quality", "100", "--dest", out, jpeg, png}).exitStatus,
              0);
    ASSERT_EQ(
        run({"convert", "--format", "JXL", "--quality", "75", "--dest", folder("lossy"), path("src/c.svg")})
            .exitStatus,
        0);

    // The JPEG comes back bit for bit; the PNG without loss; the SVG close.
    runProgram("djxl", {out + "/b.jxl", path("b-again.jpg")});
    EXPECT_EQ(readBytes(path("b-again.jpg")), readBytes(jpeg));
    EXPECT_EQ(runProgram("exiftool", {"-s3", "-Make", "-Title", out + "/b.jxl"}).trimmed(),
              "Quarbelcam\nHoliday")
        << "the boxes readers look in";
    runProgram("djxl", {out + "/a.jxl", path("a-again.png")});
    EXPECT_EQ(pixelsOf(path("a-again.png")), pixelsOf(png));
    runProgram("djxl", {path("lossy/c.jxl"), path("c-again.png")});
    expectRedAndBlue(path("c-again.png"), {120, 90}, 12);
}

}  // namespace
}  // namespace quarbel::testing
