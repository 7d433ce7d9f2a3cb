// The real window as a screen reader meets it: the program runs in the X server with the
// accessibility bus on, and another process (a pyatspi script, as Orca would) reads its
// controls by name, role and state, follows the progress bar during a job, and presses
// Convert and Cancel through their actions, answering the message boxes that open. The
// list's keyboard commands are used through the X server, as a person without a mouse would.

#include "support/RealWindow.h"
#include "support/WindowE2E.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <iostream>

using namespace quarbel;
using e2e::RealWindow;

namespace {

constexpr int kPictures = 120;  // about 60 ms each: the job runs for seconds

// A session bus of the test's own (CI has none). The accessibility bus is started from it on
// demand by at-spi-bus-launcher, and goes away with it.
class SessionBus {
public:
    bool start()
    {
        m_daemon.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        while (m_daemon.waitForReadyRead(15000) || m_daemon.canReadLine()) {
            if (m_daemon.canReadLine()) {
                m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
                break;
            }
        }
        return !m_address.isEmpty();
    }
    QString address() const { return m_address; }
    ~SessionBus()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished(10000);
        // The launcher noted the accessibility bus on the X server's root window; later
        // programs in this X server must not look for it there.
        e2e::run(QStringLiteral("xprop"),
                 {QStringLiteral("-root"), QStringLiteral("-remove"), QStringLiteral("AT_SPI_BUS")});
    }

private:
    QProcess m_daemon;
    QString m_address;
};

// Runs the screen reader's script; returns the lines it said (its errors included).
QStringList screenReader(const QStringList& arguments, bool* ok)
{
    QProcess reader;
    reader.setProcessChannelMode(QProcess::MergedChannels);
    reader.start(
        QStringLiteral("/usr/bin/python3"),
        QStringList{QStringLiteral(QUARBEL_SOURCE_DIR "/tests/e2e/a11y/screen_reader.py")} + arguments);
    const bool finished = reader.waitForFinished(120000);
    if (!finished)
        reader.kill();
    *ok = finished && reader.exitStatus() == QProcess::NormalExit && reader.exitCode() == 0;
    reader.waitForFinished(5000);
    const QStringList lines = QString::fromUtf8(reader.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString& line : lines)
        std::cout << "  screen reader: " << line.toStdString() << std::endl;
    return lines;
}

TEST(AccessibilityBus, AScreenReaderReadsAndDrivesTheWindow)
{
    e2e::ensureApplication();  // before the bus exists: this test program stays off it
    SessionBus bus;
    ASSERT_TRUE(bus.start()) << "dbus-daemon gave no address";
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("src") && QDir(dir.path()).mkpath("out"));
    const QString first = e2e::writeImage(dir.filePath("src"), "p000.png", 2000, 1500);
    for (int i = 1; i < kPictures; ++i)
        ASSERT_TRUE(
            QFile::copy(first, dir.filePath(QStringLiteral("src/p%1.png").arg(i, 3, 10, QChar(u'0')))));

    RealWindow window;
    ASSERT_TRUE(window.started());
    bool ok = false;

    // Every control by its name, role and state, as the window opens.
    const QStringList opened = screenReader({QStringLiteral("read")}, &ok);
    ASSERT_TRUE(ok);
    for (const char* line :
         {"Clear, push button, unavailable", "Help, push button, Online Help", "Source, push button",
          "Destination, push button", "Cancel, push button, unavailable", "Convert, push button",
          "Progress, progress bar, 0 percent", "Image files, list, 0 items, Drag and Drop Image Files",
          "Width, text, 0, unavailable", "Height, text, 0, unavailable", "Source path, text",
          "Destination folder, text"})
        EXPECT_TRUE(opened.contains(QString::fromLatin1(line))) << line;

    // Convert pressed through the bus with nothing chosen: the job's first check answers.
    const QStringList refused =
        screenReader({QStringLiteral("press"), QStringLiteral("Convert"), QStringLiteral("OK")}, &ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(refused.contains(QStringLiteral("Error, alert:  Please select source directory.")));

    // A folder of pictures and a destination, chosen as a person does.
    window.click("RadioButton4");
    ASSERT_TRUE(window.typeIntoDialogOf("ThemedButton1", dir.filePath("src")).has_value());
    window.typeInto("FlatEdit2", dir.filePath("out"));
    const QString destination = QStringLiteral("Destination folder, text, ") + dir.filePath("out");
    ASSERT_TRUE(screenReader({QStringLiteral("read")}, &ok).contains(destination));

    // Convert and then Cancel pressed through the bus while the bar moves; Yes stops the job.
    const QStringList job = screenReader({QStringLiteral("cancel-job"), QStringLiteral("Yes")}, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(job.size(), 4);
    EXPECT_TRUE(job[0].startsWith(QStringLiteral("Progress, progress bar, "))) << job[0].toStdString();
    EXPECT_EQ(job[1], QStringLiteral("Cancel, push button"));
    EXPECT_EQ(job[2], QStringLiteral("Image Conversion, alert: Do you want to cancel?"));
    EXPECT_EQ(job[3], QStringLiteral("Progress, progress bar, 0 percent"));  // emptied by the cancel
    EXPECT_LT(QDir(dir.filePath("out")).entryList(QDir::Files).size(), kPictures);

    // The list's commands from the keyboard: Delete removes the current item, Shift+F10
    // opens the menu.
    window.click("List1");
    e2e::key(QStringLiteral("Home"));
    e2e::key(QStringLiteral("Delete"));
    const QString fewer =
        QStringLiteral("Image files, list, %1 items, Drag and Drop Image Files").arg(kPictures - 1);
    EXPECT_TRUE(e2e::waitUntil([&] { return screenReader({QStringLiteral("read")}, &ok).contains(fewer); }));
    e2e::key(QStringLiteral("shift+F10"));
    const QString menu = window.program().waitForNewWindow({window.program().window()});
    EXPECT_FALSE(menu.isEmpty()) << "no menu on Shift+F10";
    e2e::key(QStringLiteral("Escape"));

    // Tab from the list walks the controls in the window's order, the owned buttons too.
    QStringList stops;
    QString at = QStringLiteral("Image files");
    for (int i = 0; i < 15; ++i) {
        e2e::key(QStringLiteral("Tab"));
        const QStringList said = screenReader({QStringLiteral("focused"), at}, &ok);
        ASSERT_TRUE(ok && !said.isEmpty());
        stops << said.first();
        at = said.first().section(u',', 0, 0);
    }
    QStringList names;
    for (const QString& stop : stops)
        names << stop.section(u',', 0, 0);
    EXPECT_EQ(names.join(u'|'),
              QStringLiteral("Multiple|Do not overwrite files|Process sub-folders|JPG|75|"
                             "Open folder after conversion/resizing|Convert|Clear|Source path|Source|"
                             "Destination folder|Destination|Help|Cancel|Convert"));
    EXPECT_EQ(stops.last(), QStringLiteral("Convert, push button"));
}

}  // namespace
