// The real program as a process in a real X server: its window's title and size as the X
// server sees them, a second start that shows the notice and ends on its own, and a click
// through the server on the start button with nothing to do.

#include "support/WindowE2E.h"
#include "support/XDriver.h"

#include "app/SingleInstance.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBoxes.h"

#include <gtest/gtest.h>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QUuid>

using namespace quarbel;

namespace {

const QString kTitle = QStringLiteral("Quarbel Image Converter 1.0");

QString programPath() { return QStringLiteral(QUARBEL_BINARY_DIR "/src/app/quarbel"); }

// The visible top-level window of a process (waits until it is mapped).
QString visibleWindowOf(const QProcess& process)
{
    bool ok = false;
    const QString ids = e2e::run(
        QStringLiteral("xdotool"),
        {"search", "--sync", "--onlyvisible", "--pid", QString::number(process.processId())}, &ok, 30000);
    return ok ? ids.split(u'\n').last().trimmed() : QString();
}

QSize windowSize(const QString& id)
{
    const QString text = e2e::run(QStringLiteral("xdotool"), {"getwindowgeometry", id});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Geometry: (\\d+)x(\\d+)")).match(text);
    return m.hasMatch() ? QSize(m.captured(1).toInt(), m.captured(2).toInt()) : QSize();
}

class RealProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        e2e::ensureApplication();
        ASSERT_TRUE(QFileInfo(programPath()).isExecutable()) << programPath().toStdString();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUARBEL_INSTANCE_KEY"),
                   QStringLiteral("quarbel-e2e-") + QUuid::createUuid().toString(QUuid::WithoutBraces));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        first.setProcessEnvironment(env);
        second.setProcessEnvironment(env);
    }

    void TearDown() override
    {
        for (QProcess* p : {&second, &first}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(10000);
            }
        }
    }

    QProcess first;
    QProcess second;
};

}  // namespace

TEST_F(RealProgram, ShowsItsWindowAndASecondStartShowsTheNoticeAndEnds)
{
    first.start(programPath());
    ASSERT_TRUE(first.waitForStarted());
    const QString window = visibleWindowOf(first);
    ASSERT_FALSE(window.isEmpty());
    EXPECT_EQ(e2e::run(QStringLiteral("xdotool"), {"getwindowname", window}), kTitle);
    EXPECT_EQ(windowSize(window), QSize(737, 555));
    // The search by title finds the window too.
    bool ok = false;
    const QString byName =
        e2e::run(QStringLiteral("xdotool"),
                 {"search", "--onlyvisible", "--name", "^Quarbel Image Converter 1\\.0$"}, &ok);
    EXPECT_TRUE(byName.split(u'\n').contains(window)) << byName.toStdString();

    second.start(programPath());
    ASSERT_TRUE(second.waitForStarted());
    const QString notice = visibleWindowOf(second);
    ASSERT_FALSE(notice.isEmpty());
    EXPECT_EQ(e2e::run(QStringLiteral("xdotool"), {"getwindowname", notice}), kTitle);
    const QSize noticeSize = windowSize(notice);
    EXPECT_TRUE(noticeSize.isValid());
    EXPECT_NE(noticeSize, QSize(737, 555));  // the message box, not a second window

    // Close the notice with its OK button's key: the second process ends by itself.
    e2e::run(QStringLiteral("xdotool"), {"windowfocus", "--sync", notice});
    e2e::run(QStringLiteral("xdotool"), {"key", "Return"});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);  // the first instance is not disturbed
}

TEST(RealNotice, TextTitleIconAndButtonOfTheSecondInstanceNotice)
{
    e2e::ensureApplication();
    const QString key = QStringLiteral("quarbel-e2e-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    platform::FileInstanceLock running(key);
    ASSERT_TRUE(running.acquire());

    platform::FileInstanceLock starting(key);
    platform::QtMessageBoxes messages;
    QList<e2e::SeenMessage> seen;
    e2e::MessageBoxAnswerer answerer(seen);
    answerer.answer({"OK"});
    EXPECT_FALSE(app::claimSingleInstance(starting, messages));
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].text, QStringLiteral(" Quarbel Image Converter is already running."));
    EXPECT_EQ(seen[0].title, kTitle);
    EXPECT_EQ(seen[0].icon, QMessageBox::Warning);
    EXPECT_EQ(seen[0].buttons, QStringList({"OK"}));
}

TEST(RealInput, StartWithAnEmptyListAsksForASourceAndOkClosesTheBox)
{
    e2e::ensureApplication();
    e2e::XProgram program;
    ASSERT_TRUE(program.start(QStringLiteral("src/app/quarbel")));
    const QStringList before = program.windows();

    // The start button ("Convert", 81 x 25 at 544, 496 in the window).
    e2e::click(program.toScreen(QRect(544, 496, 81, 25)));
    const QString box = program.waitForNewWindow(before);
    ASSERT_FALSE(box.isEmpty()) << "no message box after the click";
    EXPECT_EQ(e2e::windowName(box), QStringLiteral("Error"));
    e2e::saveArtifact(e2e::screenshot(e2e::windowGeometry(box)), QStringLiteral("empty-list-error.png"));

    e2e::focusWindow(box);
    e2e::key(QStringLiteral("Return"));
    EXPECT_TRUE(e2e::waitUntil([&] { return !program.windows().contains(box); }));
    EXPECT_TRUE(program.isRunning());
}
