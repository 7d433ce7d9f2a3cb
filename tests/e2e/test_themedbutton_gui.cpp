// The window's themed buttons under real input: the program runs as its own process in the X
// server, the pointer and keys go through the server, and what the buttons show is read from
// screenshots of the server. Colours are those of the fixed glossy style the window's four
// buttons use.

#include "support/WindowE2E.h"
#include "support/XDriver.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QRect>

using namespace quarbel;

namespace {

// The buttons in the window's client area.
const QRect Source(640, 424, 81, 25);
const QRect Convert(544, 496, 81, 25);
const QRect Cancel(456, 496, 73, 25);
const QRect SourceField(16, 424, 609, 25);

// Row 1 in the middle of a button: the top line of its hot or default ring, or of its face.
constexpr QRgb Face = qRgb(0xFC, 0xFC, 0xFB);
constexpr QRgb HotRing = qRgb(0xFF, 0xF0, 0xCF);
constexpr QRgb DefaultRing = qRgb(0xCE, 0xE7, 0xFF);

class ThemedButtonsInTheWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        e2e::ensureApplication();
        ASSERT_TRUE(program.start(QStringLiteral("src/app/quarbel")));
    }

    // The colour of a client pixel as the X server shows it.
    QRgb shown(QPoint client) const
    {
        const QImage shot = e2e::screenshot(QRect(program.toScreen(client), QSize(1, 1)));
        return shot.isNull() ? 0 : shot.pixel(0, 0) | 0xFF000000u;
    }
    // Waits until the pixel shows the colour; false when it never did.
    bool shows(QPoint client, QRgb colour) const
    {
        return e2e::waitUntil([&] { return shown(client) == colour; });
    }
    static QPoint ringTop(const QRect& button) { return button.topLeft() + QPoint(button.width() / 2, 1); }
    void keepPicture(const QRect& area, const QString& name) const
    {
        e2e::saveArtifact(e2e::screenshot(QRect(program.toScreen(area.topLeft()), area.size())), name);
    }

    e2e::XProgram program;
};

TEST_F(ThemedButtonsInTheWindow, PointerOverConvertShowsTheHotRingAndLeavingDropsIt)
{
    ASSERT_TRUE(shows(ringTop(Convert), Face));
    e2e::moveTo(program.toScreen(Convert));
    EXPECT_TRUE(shows(ringTop(Convert), HotRing)) << std::hex << shown(ringTop(Convert));
    keepPicture(Convert.adjusted(-4, -4, 4, 4), QStringLiteral("themedbutton-hot.png"));
    // The sides of the ring too: the orange gradient's first row at x = 1.
    EXPECT_EQ(shown(Convert.topLeft() + QPoint(1, 2)), qRgb(0xFD, 0xD8, 0x89));

    e2e::moveTo(program.toScreen(QPoint(300, 200)));
    EXPECT_TRUE(shows(ringTop(Convert), Face)) << std::hex << shown(ringTop(Convert));
}

TEST_F(ThemedButtonsInTheWindow, TabIntoSourceShowsTheDefaultRingArrowsMoveOnSpaceClicks)
{
    e2e::focusWindow(program.window());
    // The source field comes just before the Source button in the tab order.
    e2e::click(program.toScreen(SourceField));
    ASSERT_TRUE(shows(ringTop(Source), Face));
    e2e::key(QStringLiteral("Tab"));
    EXPECT_TRUE(shows(ringTop(Source), DefaultRing)) << std::hex << shown(ringTop(Source));
    keepPicture(Source.adjusted(-4, -4, 4, 4), QStringLiteral("themedbutton-focus.png"));
    // Right moves the focus on to the destination field, Shift+Tab brings it back, Left moves
    // it to the source field before the button.
    e2e::key(QStringLiteral("Right"));
    EXPECT_TRUE(shows(ringTop(Source), Face));
    e2e::key(QStringLiteral("shift+Tab"));
    EXPECT_TRUE(shows(ringTop(Source), DefaultRing));
    e2e::key(QStringLiteral("Left"));
    EXPECT_TRUE(shows(ringTop(Source), Face));
    e2e::key(QStringLiteral("Tab"));
    ASSERT_TRUE(shows(ringTop(Source), DefaultRing));

    // Space clicks it: the file dialog opens.
    const QStringList before = program.windows();
    e2e::key(QStringLiteral("space"));
    const QString dialog = program.waitForNewWindow(before);
    ASSERT_FALSE(dialog.isEmpty()) << "no dialog after Space on Source";
    e2e::focusWindow(dialog);
    e2e::key(QStringLiteral("Escape"));
    EXPECT_TRUE(e2e::waitUntil([&] { return !program.windows().contains(dialog); }));
}

TEST_F(ThemedButtonsInTheWindow, ClickingSourceOpensTheFileDialog)
{
    const QStringList before = program.windows();
    e2e::click(program.toScreen(Source));
    const QString dialog = program.waitForNewWindow(before);
    ASSERT_FALSE(dialog.isEmpty()) << "no dialog after clicking Source";
    e2e::saveArtifact(e2e::screenshot(e2e::windowGeometry(dialog)),
                      QStringLiteral("themedbutton-source-dialog.png"));
    e2e::focusWindow(dialog);
    e2e::key(QStringLiteral("Escape"));
    EXPECT_TRUE(e2e::waitUntil([&] { return !program.windows().contains(dialog); }));
}

TEST_F(ThemedButtonsInTheWindow, DisabledCancelShowsTheDisabledFace)
{
    keepPicture(Cancel.adjusted(-4, -4, 4, 4), QStringLiteral("themedbutton-disabled.png"));
    EXPECT_TRUE(shows(Cancel.topLeft() + QPoint(5, 12), qRgb(0xF5, 0xF4, 0xEA)));  // the fill
    EXPECT_EQ(shown(Cancel.topLeft() + QPoint(36, 0)), qRgb(0xC9, 0xC7, 0xBA));    // the frame
    EXPECT_EQ(shown(Cancel.topLeft() + QPoint(1, 1)), qRgb(0xD8, 0xD5, 0xC7));     // a corner pixel
}

}  // namespace
