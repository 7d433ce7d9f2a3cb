// Runs the built quarbel-gallery as a process, reads the PNG back and checks its pixels
// against the drawing rules (classic system colours, the default for renders).

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

class RenderProcessTest : public ::testing::Test {
protected:
    Outcome gallery(const QStringList& args, bool withoutDisplay = true)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (withoutDisplay) {
            // The program has to find its way offscreen on its own.
            env.remove("DISPLAY");
            env.remove("WAYLAND_DISPLAY");
            env.remove("QT_QPA_PLATFORM");
        }
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(QUARBEL_GALLERY_EXE), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardOutput()),
                QString::fromLocal8Bit(p.readAllStandardError())};
    }
    QString file(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir dir;
};

QRgb L(QRgb k, int a)
{
    const auto ch = [a](int x) { return std::min(255, a + (255 - a) * x / 255); };
    return qRgb(ch(qRed(k)), ch(qGreen(k)), ch(qBlue(k)));
}

TEST_F(RenderProcessTest, EtchedBarAtHalf)
{
    const Outcome r = gallery({"--render", "progressbar", "--size", "100x17", "--prop", "Scrolling=4",
                               "--prop", "Color=65280", "--prop", "Value=50", "--out", file("etched.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage img(file("etched.png"));
    ASSERT_EQ(img.size(), QSize(100, 17));
    const QRgb green = qRgb(0, 255, 0), white = qRgb(255, 255, 255), shadow = qRgb(128, 128, 128);
    // Etched edge: shadow over highlight outside, highlight over shadow inside.
    EXPECT_EQ(img.pixel(0, 0), shadow);
    EXPECT_EQ(img.pixel(99, 0), white);
    EXPECT_EQ(img.pixel(98, 15), shadow);
    // Gradient columns 2..2 + round(0.5 * 96) = 50, rows 2..13, L(140) to L(200).
    EXPECT_EQ(img.pixel(2, 8), L(green, 140));
    EXPECT_EQ(img.pixel(50, 8), L(green, 200));
    EXPECT_EQ(img.pixel(50, 13), L(green, 200));
    EXPECT_EQ(img.pixel(50, 14), white);
    EXPECT_EQ(img.pixel(51, 8), white);
}

TEST_F(RenderProcessTest, FlatBarReadsMaxBeforeValue)
{
    // Value 25 of Max 50 is 50 per cent whatever order the properties are given in.
    const Outcome r =
        gallery({"--render", "progressbar", "--size", "100x20", "--prop", "Value=25", "--prop", "Max=50",
                 "--prop", "Scrolling=3", "--prop", "Color=255", "--out", file("flat.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage img(file("flat.png"));
    ASSERT_EQ(img.size(), QSize(100, 20));
    const QRgb red = qRgb(255, 0, 0);
    EXPECT_EQ(img.pixel(0, 0), L(red, 100));
    EXPECT_EQ(img.pixel(49, 10), L(red, 180));
    EXPECT_EQ(img.pixel(50, 10), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(49, 19), L(red, 100));
}

TEST_F(RenderProcessTest, DarkBarWithSystemColourAndText)
{
    const Outcome r = gallery({"--render", "progressbar", "--size", "120x21", "--prop", "Scrolling=6",
                               "--prop", "Color=0x8000000D", "--prop", "ShowText=True", "--prop", "Value=0",
                               "--out", file("dark.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage img(file("dark.png"));
    ASSERT_EQ(img.size(), QSize(120, 21));
    // The classic highlight (10, 36, 106) scaled by 200 / 255 for the outline, black inside.
    EXPECT_EQ(img.pixel(0, 0), qRgb(8, 28, 83));
    EXPECT_EQ(img.pixel(1, 1), qRgb(0, 0, 0));
    int textPixels = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            textPixels += img.pixel(x, y) == qRgb(192, 192, 192);
    EXPECT_GT(textPixels, 5) << "the 0 % text in the dark style's grey";
}

TEST_F(RenderProcessTest, PatternBarTilesThePictureFile)
{
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(qRgb(255, 0, 0));
    picture.setPixel(1, 1, qRgb(0, 0, 255));
    ASSERT_TRUE(picture.save(file("tile.png"), "PNG"));
    const Outcome r =
        gallery({"--render", "progressbar", "--size", "60x17", "--prop", "Scrolling=8", "--prop",
                 "Image=" + file("tile.png"), "--prop", "Value=50", "--out", file("pattern.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage img(file("pattern.png"));
    ASSERT_EQ(img.size(), QSize(60, 17));
    // Fill width round(50 / 101 * 60) = 30 from column 2; tiles aligned to the bar's origin.
    EXPECT_EQ(img.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(3, 3), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(31, 13), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(32, 13), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(0, 0), qRgb(128, 128, 128));
}

TEST_F(RenderProcessTest, UnknownPropertyFailsNamingItAndLeavesTheOutputAlone)
{
    QFile existing(file("keep.png"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("not replaced");
    existing.close();
    const Outcome r = gallery(
        {"--render", "progressbar", "--size", "100x17", "--prop", "Wobble=3", "--out", file("keep.png")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("Wobble")) << r.err.toStdString();
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("not replaced"));
}

TEST_F(RenderProcessTest, UnknownControlAndBadValueFailNamingThem)
{
    Outcome r = gallery({"--render", "speedometer", "--size", "100x17", "--out", file("x.png")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("speedometer")) << r.err.toStdString();
    r = gallery(
        {"--render", "progressbar", "--size", "100x17", "--prop", "Max=lots", "--out", file("x.png")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("lots")) << r.err.toStdString();
    for (const char* state : {"hover,glow", "pressed"}) {  // unknown; no states for this control
        r = gallery(
            {"--render", "progressbar", "--size", "100x17", "--state", state, "--out", file("x.png")});
        EXPECT_EQ(r.exitCode, 2) << state;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(state).section(u',', -1))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(file("x.png")));
}

TEST_F(RenderProcessTest, HelpAndVersionPrintAndSucceedWithoutADisplay)
{
    Outcome r = gallery({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("usage: quarbel-gallery")) << r.out.toStdString();
    r = gallery({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(QRegularExpression("^quarbel-gallery \\d+\\.\\d+(\\.\\d+)*\n$").match(r.out).hasMatch())
        << r.out.toStdString();
    r = gallery({"--size=10x10", "--bogus"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("\"--bogus\"")) << r.err.toStdString();
}

TEST_F(RenderProcessTest, UnwritableDestinationIsAFailure)
{
    const Outcome r =
        gallery({"--render", "progressbar", "--size", "10x10", "--out", file("missing/folder/x.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("missing/folder/x.png")) << r.err.toStdString();
}

}  // namespace
