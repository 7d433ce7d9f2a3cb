// A job in the real program as a person runs it through the X server: Convert started with
// the pointer, Cancel clicked while it runs, its question answered No (the job goes on) and
// then Yes (the job stops); what was written is checked on disk.

#include "support/RealWindow.h"
#include "support/WindowE2E.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

using namespace quarbel;
using e2e::RealWindow;

namespace {

constexpr int kPictures = 120;  // about 60 ms each: the run lasts several seconds

TEST(RealJob, CancelAsksNoLetsTheJobGoOnAndYesStopsIt)
{
    e2e::ensureApplication();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("src") && QDir(dir.path()).mkpath("out"));
    const QString first = e2e::writeImage(dir.filePath("src"), "p000.png", 2000, 1500);
    for (int i = 1; i < kPictures; ++i)
        ASSERT_TRUE(
            QFile::copy(first, dir.filePath(QStringLiteral("src/p%1.png").arg(i, 3, 10, QChar(u'0')))));
    const QDir out(dir.filePath("out"));
    const auto outputs = [&] { return out.entryList(QDir::Files).size(); };

    RealWindow window;
    ASSERT_TRUE(window.started());
    window.click("RadioButton4");  // Multiple: the source picker adds a folder's pictures
    ASSERT_TRUE(window.typeIntoDialogOf("ThemedButton1", dir.filePath("src")).has_value());
    window.typeInto("FlatEdit2", out.path());

    window.click("ThemedButton3");
    ASSERT_TRUE(e2e::waitUntil([&] { return outputs() >= 1; }));
    window.click("ThemedButton4");
    QString question = window.waitForNewWindow();
    ASSERT_FALSE(question.isEmpty()) << "no question after Cancel";
    EXPECT_EQ(e2e::windowName(question), "Image Conversion");
    e2e::saveArtifact(e2e::screenshot(), "cancel-question.png");
    window.answer(question, {}, "n");
    ASSERT_TRUE(window.waitUntilClosed(question));
    const qsizetype atNo = outputs();
    EXPECT_TRUE(e2e::waitUntil([&] { return outputs() >= atNo + 3; })) << "the job went on after No";

    window.click("ThemedButton4");
    question = window.waitForNewWindow();
    ASSERT_FALSE(question.isEmpty());
    window.answer(question, {}, "y");
    ASSERT_TRUE(window.waitUntilClosed(question));

    // The job has ended once the list takes a right-click again (it is disabled while a job
    // runs).
    QString menu;
    EXPECT_TRUE(e2e::waitUntil([&] {
        window.click("List1", Qt::RightButton);
        menu = window.program().waitForNewWindow({window.program().window()}, 1000);
        return !menu.isEmpty();
    }));
    e2e::key("Escape");
    e2e::saveArtifact(window.screenshot(), "after-cancel.png");

    const QStringList written = out.entryList(QDir::Files);
    EXPECT_LT(written.size(), kPictures) << "the job stopped";
    EXPECT_GE(written.size(), atNo + 3);
    for (const QString& name : written) {
        EXPECT_TRUE(name.endsWith(".jpg")) << name.toStdString();
        EXPECT_EQ(QImageReader(out.filePath(name)).size(), QSize(2000, 1500)) << name.toStdString();
    }
}

}  // namespace
