// quarbel-gallery --render picturebutton as a process: the PNG read back has the control's own
// size, transparent corners outside the XP look's region, and the states asked for.

#include <gtest/gtest.h>
#include <set>
#include "controls/common/SystemColors.h"
#include "controls/picturebutton/XpB.h"
#include "gallery/GalleryRegistry.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {

struct Outcome {
    int exitCode = -1;
    QString err;
};

class PictureButtonRender : public ::testing::Test {
protected:
    Outcome gallery(QStringList args)
    {
        args = QStringList{"--render", "picturebutton", "--out", path()} + args;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(QUARBEL_GALLERY_EXE), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardError())};
    }
    QString path() const { return dir.filePath("button.png"); }
    QTemporaryDir dir;
};

TEST_F(PictureButtonRender, XPLookFocusedAndPressed)
{
    const Outcome r = gallery(
        {"--size", "75x23", "--prop", "ButtonStyle=3", "--prop", "Caption=", "--state", "focus,pressed"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage img = QImage(path()).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(img.size(), QSize(75, 23));
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(74, 22), QPoint(73, 22), QPoint(74, 21)})
        EXPECT_EQ(qAlpha(img.pixel(corner)), 0) << corner.x() << "," << corner.y();
    EXPECT_EQ(img.pixel(2, 0), qRgb(64, 64, 64));      // the dark outline
    EXPECT_EQ(img.pixel(1, 1), qRgb(64, 64, 64));      // its inner corner pixel
    EXPECT_EQ(img.pixel(1, 10), qRgb(140, 170, 230));  // the focus ring
    EXPECT_EQ(img.pixel(10, 1), qRgb(205, 235, 255));  // its light top line
}

TEST_F(PictureButtonRender, FlatStyleHoveredAndTheResizeRule)
{
    const Outcome r = gallery({"--size", "5x5", "--state", "hover"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage img(path());
    ASSERT_EQ(img.size(), QSize(10, 10));
    EXPECT_EQ(img.pixel(0, 0), qRgb(181, 190, 214));  // highlight (10, 36, 106) + (171, 154, 108)
}

TEST_F(PictureButtonRender, UnknownPropertyAndBadValueAreRefused)
{
    Outcome r = gallery({"--size", "40x20", "--prop", "Bevelled=2"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("Bevelled")) << r.err.toStdString();
    r = gallery({"--size", "40x20", "--prop", "BEVEL=deep"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("BEVEL")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path()));
}

// The gallery's page shows a live button of every style and a picture of each style in each
// state, the picture buttons' corners left out.
TEST(PictureButtonShowcase, EveryStyleLiveAndInEveryState)
{
    static int argc = 1;
    static char name[] = "gallery_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
    quarbel::SystemColors::use(quarbel::SystemColors::classicTable());
    const quarbel::gallery::GalleryControl* control = quarbel::gallery::findControl("picturebutton");
    ASSERT_TRUE(control);
    QWidget parent;
    QWidget* page = control->showcase(&parent);
    std::set<int> live;
    for (const quarbel::XpB* b : page->findChildren<quarbel::XpB*>())
        if (!b->isHidden())
            live.insert(b->ButtonStyle());
    EXPECT_EQ(live, (std::set<int>{0, 1, 2, 3, 4}));
    int faces = 0, rounded = 0;
    for (const QLabel* label : page->findChildren<QLabel*>()) {
        const QImage face = label->pixmap().toImage();
        if (face.isNull())
            continue;
        ++faces;
        rounded += qAlpha(face.pixel(0, 0)) == 0;
    }
    EXPECT_EQ(faces, 25);   // five styles in five states
    EXPECT_EQ(rounded, 5);  // the XP look's
    quarbel::SystemColors::reset();
}

}  // namespace
