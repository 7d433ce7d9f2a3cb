#include "QtTestApp.h"
#include "imagelist/PictureLoader.h"
#include "imagelist/PreviewBox.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>

#include <sys/stat.h>

namespace quarbel::imagelist {
namespace {

const QSize box(185, 169);
const QRgb white = qRgb(255, 255, 255);
const QRgb red = qRgb(220, 0, 0);
const QRgb blue = qRgb(0, 0, 200);

// Colours close enough after scaling and, for lossy formats, compression.
::testing::AssertionResult near(QRgb actual, QRgb expected, int tolerance = 12)
{
    const int d =
        std::max({std::abs(qRed(actual) - qRed(expected)), std::abs(qGreen(actual) - qGreen(expected)),
                  std::abs(qBlue(actual) - qBlue(expected))});
    if (d <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hex << "colour " << actual << " is not near " << expected;
}

// A picture whose left half is red and right half blue, written to a real file.
QString writeHalves(const QTemporaryDir& dir, const QString& name, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, size.width() / 2, size.height(), QColor(red));
    p.fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(), QColor(blue));
    p.end();
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path));
    return path;
}

TEST(PictureLoader, WidePictureSitsInTheMiddleWithWhiteAboveAndBelow)
{
    QTemporaryDir dir;
    const QString path = writeHalves(dir, "wide.png", {4000, 1000});
    const auto picture = LoadPictureFile(path, box);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->fullSize, QSize(4000, 1000));
    EXPECT_LE(picture->image.width(), box.width());  // shrunk while loading
    EXPECT_LE(picture->image.height(), box.height());

    const QImage canvas = FitPicture(picture->image, picture->fullSize, box);
    ASSERT_EQ(canvas.size(), box);
    // drawn 185 x 46 from row 62 to row 107
    for (int x : {0, 92, 184}) {
        EXPECT_EQ(canvas.pixel(x, 0), white);
        EXPECT_EQ(canvas.pixel(x, 61), white);
        EXPECT_EQ(canvas.pixel(x, 108), white);
        EXPECT_EQ(canvas.pixel(x, 168), white);
    }
    for (int y : {63, 85, 106}) {
        EXPECT_TRUE(near(canvas.pixel(2, y), red)) << y;
        EXPECT_TRUE(near(canvas.pixel(60, y), red)) << y;
        EXPECT_TRUE(near(canvas.pixel(130, y), blue)) << y;
        EXPECT_TRUE(near(canvas.pixel(182, y), blue)) << y;
    }
}

TEST(PictureLoader, SmallPictureIsEnlargedToTheBoxHeight)
{
    QTemporaryDir dir;
    const QString path = writeHalves(dir, "small.bmp", {10, 10});
    const auto picture = LoadPictureFile(path, box);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->fullSize, QSize(10, 10));
    const QImage canvas = FitPicture(picture->image, picture->fullSize, box);
    // drawn 169 x 169 from column 8 to column 176
    EXPECT_EQ(canvas.pixel(7, 80), white);
    EXPECT_EQ(canvas.pixel(177, 80), white);
    EXPECT_TRUE(near(canvas.pixel(10, 2), red));
    EXPECT_TRUE(near(canvas.pixel(40, 166), red));
    EXPECT_TRUE(near(canvas.pixel(150, 80), blue));
    EXPECT_TRUE(near(canvas.pixel(174, 166), blue));
}

TEST(PictureLoader, TransparencyShowsWhite)
{
    QTemporaryDir dir;
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(10, 10, 20, 20, QColor(blue));
    const QString path = dir.filePath("alpha.png");
    ASSERT_TRUE(image.save(path));

    const auto picture = LoadPictureFile(path, box);
    ASSERT_TRUE(picture);
    const QImage canvas = FitPicture(picture->image, picture->fullSize, box);
    // drawn 169 x 169 at left 8: the transparent border is 42 pixels wide on screen
    EXPECT_TRUE(near(canvas.pixel(8 + 10, 84), white));
    EXPECT_TRUE(near(canvas.pixel(92, 10), white));
    EXPECT_TRUE(near(canvas.pixel(92, 84), blue));
}

TEST(PictureLoader, WhatCannotBeDecodedGivesNoPicture)
{
    QTemporaryDir dir;
    const QString text = dir.filePath("notes.jpg");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is not a picture");
    f.close();
    const QString truncated = writeHalves(dir, "cut.png", {300, 200});
    QFile cut(truncated);
    ASSERT_TRUE(cut.resize(cut.size() / 3));

    EXPECT_FALSE(LoadPictureFile(text, box));
    EXPECT_FALSE(LoadPictureFile(truncated, box));
    EXPECT_FALSE(LoadPictureFile(dir.filePath("missing.png"), box));
    EXPECT_FALSE(LoadPictureFile(dir.path(), box));
    EXPECT_FALSE(LoadPictureFile("", box));
    // a pipe would block a reader forever: it is not opened at all
    const QString pipe = dir.filePath("pipe.png");
    ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    EXPECT_FALSE(LoadPictureFile(pipe, box));
}

TEST(FitPicture, NoPictureGivesAPlainBackground)
{
    const QImage canvas = FitPicture(QImage(), {100, 100}, box);
    ASSERT_EQ(canvas.size(), box);
    EXPECT_EQ(canvas.pixel(0, 0), white);
    EXPECT_EQ(canvas.pixel(92, 84), white);
    EXPECT_EQ(canvas.pixel(184, 168), white);
}

TEST(PreviewBox, PaintsTheCanvasIntoItsWidgetAndClears)
{
    test::ensureApp();
    QWidget widget;
    widget.resize(box);
    widget.setAutoFillBackground(true);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, QColor(0, 255, 0));
    widget.setPalette(palette);
    PreviewBox preview(&widget);
    EXPECT_EQ(preview.boxSize(), box);
    EXPECT_TRUE(preview.isEmpty());

    QImage canvas(box, QImage::Format_RGB32);
    canvas.fill(QColor(blue));
    canvas.setPixel(0, 0, white);
    preview.show(canvas);
    QImage shown = widget.grab().toImage();
    EXPECT_EQ(shown.pixel(0, 0), white);
    EXPECT_EQ(shown.pixel(100, 100), blue);

    preview.clear();
    EXPECT_TRUE(preview.isEmpty());
    shown = widget.grab().toImage();
    EXPECT_EQ(shown.pixel(100, 100), qRgb(0, 255, 0));
}

}  // namespace
}  // namespace quarbel::imagelist
