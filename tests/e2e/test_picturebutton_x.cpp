// The window's picture buttons (Clear and Help) in the real program, through the X server:
// the pointer and keys from xdotool, the clipboard held by xclip, the pixels from a
// screenshot of the server.

#include "controls/picturebutton/ButtonLook.h"
#include "support/WindowE2E.h"
#include "support/XDriver.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QUrl>

namespace quarbel {
namespace {

// Where the layout puts them in the window: Clear inside the options group at (296, 328).
const QRect kClear(296 + 336, 328 + 40, 81, 25);
const QRect kHelp(368, 496, 73, 25);
const QPoint kListEmptyArea(400, 170);

// The twelve corner pixels the XP look leaves to what is behind the button.
bool outsideTheRegion(int x, int y, int W, int H)
{
    const int dx = std::min(x, W - 1 - x);
    const int dy = std::min(y, H - 1 - y);
    return (dy == 0 && dx <= 1) || (dy == 1 && dx == 0);
}

// The XP face this process draws for the button with its own system colours, which are the
// program's: both take them from the same platform's palette.
QImage expectedFace(int W, int H, bool enabled, bool focused)
{
    picturebutton::Look look;
    look.W = W;
    look.H = H;
    look.buttonStyle = picturebutton::XP;
    look.enabled = enabled;
    look.hasFocus = focused;
    gfx::Surface s(W, H);
    picturebutton::RenderPictureButton(s, look);
    return s.image();
}

// Compares the face's edges (four pixels deep, away from the caption) with the expected one;
// returns the first difference, empty when there is none.
QString faceDifference(const QImage& screen, const QImage& expected)
{
    const int W = expected.width();
    const int H = expected.height();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const bool edge = x < 4 || y < 4 || x >= W - 4 || y >= H - 4;
            if (!edge || outsideTheRegion(x, y, W, H))
                continue;
            const QRgb a = screen.pixel(x, y) | 0xFF000000u;
            const QRgb b = expected.pixel(x, y) | 0xFF000000u;
            if (a != b)
                return QStringLiteral("(%1, %2): screen %3, drawn %4")
                    .arg(x)
                    .arg(y)
                    .arg(a, 8, 16, QChar(u'0'))
                    .arg(b, 8, 16, QChar(u'0'));
        }
    return {};
}

class RealPictureButtons : public ::testing::Test {
protected:
    void SetUp() override
    {
        e2e::ensureApplication();
        ASSERT_TRUE(dir.isValid());
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        image = dir.filePath(QStringLiteral("one.png"));
        ASSERT_TRUE(picture.save(image));
        // A browser of our own: it notes what it was asked to open.
        const QString bin = dir.filePath(QStringLiteral("bin"));
        ASSERT_TRUE(QDir().mkpath(bin));
        opened = dir.filePath(QStringLiteral("opened.txt"));
        QFile launcher(bin + QStringLiteral("/xdg-open"));
        ASSERT_TRUE(launcher.open(QIODevice::WriteOnly));
        launcher.write(QStringLiteral("#!/bin/sh\necho \"$@\" >> '%1'\n").arg(opened).toUtf8());
        launcher.close();
        launcher.setPermissions(launcher.permissions() | QFile::ExeOwner);
        program.captureErrorOutput();
        ASSERT_TRUE(program.start(QStringLiteral("src/app/quarbel"), {},
                                  {QStringLiteral("PATH=") + bin + u':' + qEnvironmentVariable("PATH"),
                                   QStringLiteral("BROWSER=") + bin + QStringLiteral("/xdg-open")}));
    }

    QImage clearOnScreen()
    {
        return e2e::screenshot(QRect(program.toScreen(QPoint(0, 0)) + kClear.topLeft(), kClear.size()));
    }

    // Waits until Clear's face on the screen is the one drawn for the state.
    ::testing::AssertionResult clearShows(bool enabled, bool focused)
    {
        const QImage expected = expectedFace(kClear.width(), kClear.height(), enabled, focused);
        QString difference;
        if (e2e::waitUntil([&] {
                difference = faceDifference(clearOnScreen(), expected);
                return difference.isEmpty();
            }))
            return ::testing::AssertionSuccess();
        e2e::saveArtifact(clearOnScreen(), QStringLiteral("clear-button.png"));
        return ::testing::AssertionFailure() << difference.toStdString();
    }

    QTemporaryDir dir;
    QString image;
    QString opened;
    e2e::XProgram program;
};

TEST_F(RealPictureButtons, ClearShowsTheXPFaceAndAsksOnClickAndOnSpace)
{
    EXPECT_TRUE(clearShows(false, false));

    // Paste a copied file into the list; Clear becomes usable.
    {
        e2e::ClipboardOwner clipboard(QUrl::fromLocalFile(image).toEncoded() + "\r\n",
                                      QStringLiteral("text/uri-list"));
        ASSERT_TRUE(clipboard.isHolding());
        e2e::click(program.toScreen(kListEmptyArea));
        e2e::key(QStringLiteral("ctrl+v"));
        EXPECT_TRUE(clearShows(true, false));
    }
    // The screen's corners outside the region show the group box behind the button.
    const QImage face = clearOnScreen();
    EXPECT_NE(face.pixel(0, 0), face.pixel(2, 0));
    EXPECT_EQ(face.pixel(0, 0), face.pixel(80, 24));

    const QStringList before = program.windows();
    e2e::click(program.toScreen(kClear));
    QString box = program.waitForNewWindow(before);
    ASSERT_FALSE(box.isEmpty()) << "no question after clicking Clear";
    EXPECT_EQ(e2e::windowName(box), QStringLiteral("Quarbel Image Converter"));
    e2e::focusWindow(box);
    e2e::key(QStringLiteral("Escape"));  // No
    ASSERT_TRUE(e2e::waitUntil([&] { return !program.windows().contains(box); }));

    // The click left the focus on Clear: the blue ring; Space asks again.
    e2e::focusWindow(program.window());
    EXPECT_TRUE(clearShows(true, true));
    e2e::key(QStringLiteral("space"));
    box = program.waitForNewWindow(before);
    ASSERT_FALSE(box.isEmpty()) << "no question after Space on Clear";
    e2e::focusWindow(box);
    e2e::key(QStringLiteral("y"));  // Yes: the list is emptied and Clear is disabled again
    ASSERT_TRUE(e2e::waitUntil([&] { return !program.windows().contains(box); }));
    EXPECT_TRUE(clearShows(false, false));

    // No audio device here: the click sounds are silence, not messages.
    const QString errors = program.errorOutput();
    EXPECT_FALSE(errors.contains(QStringLiteral("audio"), Qt::CaseInsensitive)) << errors.toStdString();
    EXPECT_FALSE(errors.contains(QStringLiteral("QSoundEffect"))) << errors.toStdString();
}

TEST_F(RealPictureButtons, HelpOpensTheHelpPage)
{
    e2e::click(program.toScreen(kHelp));
    QString asked;
    EXPECT_TRUE(e2e::waitUntil([&] {
        QFile f(opened);
        asked = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        return asked.contains(QStringLiteral("help.html"));
    })) << asked.toStdString();
}

}  // namespace
}  // namespace quarbel
