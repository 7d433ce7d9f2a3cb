// quarbel-gallery --render themedbutton as a process: the control's own size after its
// minimum, transparency outside its window region, and the states of the fixed glossy style
// at the window's size (colours of the drawing rules, classic system colours).

#include <gtest/gtest.h>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

class ThemedButtonRender : public ::testing::Test {
protected:
    QImage render(const QStringList& args, int expectedExit = 0)
    {
        const QString out = dir.filePath(QStringLiteral("b%1.png").arg(++count));
        QProcess p;
        p.start(
            QStringLiteral(QUARBEL_GALLERY_EXE),
            QStringList{"--render", "themedbutton", "--prop", "Caption="} + args + QStringList{"--out", out});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), expectedExit) << p.readAllStandardError().toStdString();
        return QImage(out);
    }
    QTemporaryDir dir;
    int count = 0;
};

TEST_F(ThemedButtonRender, SmallRequestGrowsToTheMinimum)
{
    const QImage img = render({"--size", "10x12", "--prop", "Style=0"});
    ASSERT_EQ(img.size(), QSize(20, 20));
    // The raised edge: 3-D light and white at the top left, dark shadow at the bottom right.
    EXPECT_EQ(img.pixel(0, 0), qRgb(212, 208, 200));
    EXPECT_EQ(img.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(19, 19), qRgb(64, 64, 64));
    EXPECT_EQ(img.pixel(18, 18), qRgb(128, 128, 128));
}

TEST_F(ThemedButtonRender, GlossyStatesAtTheWindowsSize)
{
    struct Case {
        QStringList args;
        QRgb row1;  // (40, 1): the ring's top line, or the face
    };
    const Case cases[] = {
        {{}, qRgb(0xFC, 0xFC, 0xFB)},                    // face gradient, first line
        {{"--state", "hover"}, qRgb(0xFF, 0xF0, 0xCF)},  // orange hot ring
        {{"--state", "focus"}, qRgb(0xCE, 0xE7, 0xFF)},  // blue default ring
        {{"--state", "hover,focus"}, qRgb(0xFF, 0xF0, 0xCF)},
    };
    for (const Case& c : cases) {
        const QImage img = render(QStringList{"--size", "81x25", "--prop", "Style=5"} + c.args);
        ASSERT_EQ(img.size(), QSize(81, 25));
        EXPECT_EQ(img.pixel(40, 1), c.row1) << c.args.join(' ').toStdString();
        EXPECT_EQ(img.pixel(40, 0), qRgb(0x00, 0x3C, 0x74));  // the frame
        // Cut corners: outside the region nothing is painted.
        EXPECT_EQ(qAlpha(img.pixel(80, 0)), 0);
        EXPECT_EQ(qAlpha(img.pixel(0, 24)), 0);
        EXPECT_EQ(qAlpha(img.pixel(40, 12)), 255);
    }
    const QImage pressed = render({"--size", "73x25", "--prop", "Style=5", "--state", "pressed"});
    EXPECT_EQ(pressed.pixel(36, 1), qRgb(0xD1, 0xCC, 0xC1));
    EXPECT_EQ(pressed.pixel(2, 1), qRgb(0xBF, 0xC7, 0xCA));  // corner pixels stay
    const QImage disabled = render({"--size", "73x25", "--prop", "Style=5", "--prop", "Enabled=False"});
    EXPECT_EQ(disabled.pixel(36, 12), qRgb(0xF5, 0xF4, 0xEA));
}

}  // namespace
