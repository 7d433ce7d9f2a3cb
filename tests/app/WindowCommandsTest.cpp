// The start command (the mode's job, then the open-folder step), Cancel inside and outside
// a job, closing the window during a job, Help, and the failure list on status panel 1,
// with real picture files converted and resized through the window's buttons.

#include "WindowTestSupport.h"

#include "controls/picturebutton/XpB.h"
#include "controls/progressbar/XP_ProgressBar.h"
#include "controls/themedbutton/ThemedButton.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace quarbel;
using quarbel::testing::AskedMessage;
using quarbel::testing::FakeWindow;
using quarbel::testing::writeImage;

namespace {

class WindowCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sources.isValid());
        ASSERT_TRUE(destination.isValid());
        w.form->show();
    }

    // Real picture files in the source folder, listed in the window.
    void listImages(const QList<std::tuple<QString, int, int>>& files)
    {
        for (const auto& [name, width, height] : files) {
            const QString path = writeImage(sources.path(), name, width, height);
            ASSERT_FALSE(path.isEmpty()) << name.toStdString();
            w.form->List1->addItem(path);
        }
    }

    void clickStart() { QTest::mouseClick(w.form->ThemedButton3, Qt::LeftButton); }
    QString output(const QString& name) const { return QDir(destination.path()).filePath(name); }
    QStringList askedTexts() const
    {
        QStringList texts;
        for (const AskedMessage& m : w.messages->asked)
            texts << m.text;
        return texts;
    }

    QTemporaryDir sources;
    QTemporaryDir destination;
    FakeWindow w;
};

}  // namespace

TEST_F(WindowCommands, StartButtonConvertsRealFiles)
{
    app::Form3& f = *w.form;
    listImages({{"a.png", 30, 20}, {"b.bmp", 12, 9}, {"c.jpg", 40, 10}});
    f.FlatEdit1->setText(sources.path());
    f.FlatEdit2->setText(destination.path());
    clickStart();

    EXPECT_TRUE(w.messages->asked.isEmpty()) << askedTexts().join('|').toStdString();
    const std::tuple<const char*, int, int> written[] = {
        {"a.jpg", 30, 20}, {"b.jpg", 12, 9}, {"c.jpg", 40, 10}};
    for (const auto& [name, width, height] : written) {
        QImage image(output(QString::fromLatin1(name)));
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_EQ(image.size(), QSize(width, height)) << name;
        QFile file(output(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.read(3).startsWith("\xFF\xD8\xFF")) << name << " is not a JPEG file";
    }
    EXPECT_EQ(f.TargetExtension, QStringLiteral(".jpg"));
    EXPECT_EQ(f.panelText(1), QStringLiteral("Finished."));
    EXPECT_EQ(f.percent->text(), QStringLiteral("100%"));
    EXPECT_FALSE(f.percent->isHidden());
    EXPECT_EQ(f.XP_ProgressBar1->Max(), 3);
    EXPECT_EQ(f.XP_ProgressBar1->Value(), 3);
    EXPECT_EQ(f.XP_ProgressBar1->Color(), 0x00FF00u);
    EXPECT_FALSE(f.ThemedButton4->isEnabled());
    for (QWidget* control :
         std::initializer_list<QWidget*>{f.List1, f.ThemedButton1, f.ThemedButton2, f.ThemedButton3, f.XpB1})
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(f.panel(1)->toolTip().isEmpty());
}

TEST_F(WindowCommands, SwitchingToResizeDuringAConvertRunRunsTheResizeJobAfterIt)
{
    app::Form3& f = *w.form;
    listImages({{"a.png", 30, 20}, {"b.png", 16, 16}});
    f.FlatEdit2->setText(destination.path());
    f.CheckBox1->setChecked(false);
    f.txtWidth->setText("4");
    f.txtHeight->setText("3");
    QList<jobs::JobSummary> runs;
    QObject::connect(&f, &app::Form3::jobFinished, [&](const jobs::JobSummary& s) { runs << s; });
    // Picked up by the convert job's first pause between items.
    QTimer::singleShot(0, f.RadioButton2, &QRadioButton::click);
    clickStart();

    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].writtenFiles, QStringList({output("a.jpg"), output("b.jpg")}));
    EXPECT_EQ(runs[1].writtenFiles, QStringList({output("a.png"), output("b.png")}));
    EXPECT_EQ(QImage(output("a.jpg")).size(), QSize(30, 20));
    EXPECT_EQ(QImage(output("a.png")).size(), QSize(4, 3));
    EXPECT_EQ(QImage(output("b.png")).size(), QSize(4, 3));
    EXPECT_EQ(f.ThemedButton3->Caption(), QStringLiteral("Resize"));
}

TEST_F(WindowCommands, ResizeModeAloneRunsOnlyTheResizeJob)
{
    app::Form3& f = *w.form;
    listImages({{"a.png", 30, 20}});
    f.FlatEdit2->setText(destination.path());
    f.RadioButton2->click();
    f.CheckBox1->setChecked(false);
    f.txtWidth->setText("10");
    f.txtHeight->setText("5");
    int runs = 0;
    QObject::connect(&f, &app::Form3::jobFinished, [&](const jobs::JobSummary&) { ++runs; });
    clickStart();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(QImage(output("a.png")).size(), QSize(10, 5));
    EXPECT_FALSE(QFileInfo::exists(output("a.jpg")));
}

struct OpenFolderCase {
    const char* name;
    bool listed;          // the list holds a file
    const char* dest;     // "ok", "missing" or ""
    bool resizeWithZero;  // Resize mode with a width of "0"
    bool boxChecked;
    const char* message;  // the validation message shown, or ""
    const char* opened;   // the folder opened: "dest", "home" or "" for none
};

class OpenFolderStep : public WindowCommands, public ::testing::WithParamInterface<OpenFolderCase> {};

TEST_P(OpenFolderStep, RunsAfterTheJobWheneverTheListHoldsFiles)
{
    const OpenFolderCase c = GetParam();
    app::Form3& f = *w.form;
    if (c.listed)
        listImages({{"a.png", 8, 8}});
    const QString dest = QString::fromLatin1(c.dest);
    f.FlatEdit2->setText(dest == "ok"        ? destination.path()
                         : dest == "missing" ? destination.filePath("not-there")
                                             : QString());
    if (c.resizeWithZero)
        f.RadioButton2->click();
    f.CheckBox4->setChecked(c.boxChecked);
    clickStart();

    const QString message = QString::fromLatin1(c.message);
    if (message.isEmpty()) {
        EXPECT_TRUE(w.messages->asked.isEmpty()) << askedTexts().join('|').toStdString();
    } else {
        ASSERT_EQ(w.messages->asked.size(), 1);
        EXPECT_EQ(w.messages->asked[0].text, message);
        EXPECT_EQ(w.messages->asked[0].title, QStringLiteral("Error"));
        EXPECT_EQ(w.messages->asked[0].icon, platform::MessageIcon::Information);
    }
    const QString opened = QString::fromLatin1(c.opened);
    if (!opened.isEmpty()) {
        ASSERT_EQ(w.shell->folders.size(), 1);
        EXPECT_EQ(QFileInfo(w.shell->folders[0]).canonicalFilePath(),
                  QFileInfo(opened == "home" ? QDir::homePath() : destination.path()).canonicalFilePath());
    } else {
        EXPECT_TRUE(w.shell->folders.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenFolderStep,
    ::testing::Values(OpenFolderCase{"AfterARun", true, "ok", false, true, "", "dest"},
                      OpenFolderCase{"NotWhenUnchecked", true, "ok", false, false, "", ""},
                      OpenFolderCase{"NotForAnEmptyList", false, "ok", false, true,
                                     " Please select source directory.", ""},
                      // The step also follows a validation message: here the folder exists.
                      OpenFolderCase{"AfterAValidationMessage", true, "ok", true, true,
                                     " Invalid Image Width. Please try again.", "dest"},
                      // An empty destination still starts the file manager, at its home folder.
                      OpenFolderCase{"HomeForAnEmptyDestination", true, "", false, true,
                                     " Please select destination directory.", "home"},
                      OpenFolderCase{"NotForAMissingFolder", true, "missing", false, true,
                                     "Destination directory does not exist. Please try again.", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowCommands, CancelAnsweredYesStopsBeforeTheNextItem)
{
    app::Form3& f = *w.form;
    listImages({{"a.png", 8, 8}, {"b.png", 8, 8}, {"c.png", 8, 8}});
    f.FlatEdit2->setText(destination.path());
    w.messages->answers = {platform::MessageAnswer::Yes};
    QTimer::singleShot(0, f.ThemedButton4, [&f] { QTest::mouseClick(f.ThemedButton4, Qt::LeftButton); });
    clickStart();

    ASSERT_EQ(w.messages->asked.size(), 1);
    const AskedMessage& question = w.messages->asked[0];
    EXPECT_EQ(question.text, QStringLiteral("Do you want to cancel?"));
    EXPECT_EQ(question.title, QStringLiteral("Image Conversion"));
    EXPECT_EQ(question.icon, platform::MessageIcon::Question);
    EXPECT_EQ(question.buttons, platform::MessageButtons::YesNo);
    // The first item is either written whole before the answer or stopped in flight.
    if (QFileInfo::exists(output("a.jpg")))
        EXPECT_FALSE(QImage(output("a.jpg")).isNull());
    EXPECT_FALSE(QFileInfo::exists(output("b.jpg")));
    EXPECT_FALSE(QFileInfo::exists(output("c.jpg")));
    EXPECT_EQ(f.panelText(1), QStringLiteral(" Image conversion cancelled..."));
    EXPECT_TRUE(f.percent->isHidden());
    EXPECT_EQ(f.XP_ProgressBar1->Value(), 0);
    EXPECT_EQ(f.XP_ProgressBar1->Color(), 0xFFFFFFu);
    EXPECT_TRUE(f.ThemedButton4->isEnabled());
    EXPECT_TRUE(f.CancelRequested);
    EXPECT_TRUE(f.ThemedButton3->isEnabled());
}

TEST_F(WindowCommands, CancelOutsideAJobOnlySetsTheFlagUntilTheNextJob)
{
    app::Form3& f = *w.form;
    listImages({{"a.png", 8, 8}, {"b.png", 8, 8}});
    f.FlatEdit2->setText(destination.path());
    // A cancelled run leaves the Cancel button enabled: click it while no job runs.
    w.messages->answers = {platform::MessageAnswer::Yes};
    QTimer::singleShot(0, f.ThemedButton4, [&f] { f.ThemedButton4->click(); });
    clickStart();
    ASSERT_TRUE(f.ThemedButton4->isEnabled());
    f.CancelRequested = false;
    const QStringList panels = {f.panelText(1), f.panelText(2), f.panelText(3), f.panelText(4)};
    const int asked = w.messages->asked.size();

    QTest::mouseClick(f.ThemedButton4, Qt::LeftButton);
    EXPECT_TRUE(f.CancelRequested);
    EXPECT_EQ(QStringList({f.panelText(1), f.panelText(2), f.panelText(3), f.panelText(4)}), panels);
    EXPECT_EQ(w.messages->asked.size(), asked);
    EXPECT_TRUE(f.ThemedButton3->isEnabled());
    EXPECT_EQ(f.List1->count(), 2);

    // The next job clears the flag and runs to its end without a question.
    clickStart();
    EXPECT_FALSE(f.CancelRequested);
    EXPECT_EQ(w.messages->asked.size(), asked);
    EXPECT_EQ(f.panelText(1), QStringLiteral("Finished."));
    EXPECT_TRUE(QFileInfo::exists(output("b.jpg")));
}

TEST_F(WindowCommands, ClosingTheWindowDuringAJobStopsWithoutAQuestion)
{
    app::Form3& f = *w.form;
    listImages({{"a.png", 8, 8}, {"b.png", 8, 8}, {"c.png", 8, 8}});
    f.FlatEdit2->setText(destination.path());
    f.CheckBox4->setChecked(true);
    QTimer::singleShot(0, &f, [&f] { f.close(); });
    clickStart();

    EXPECT_TRUE(w.messages->asked.isEmpty()) << askedTexts().join('|').toStdString();
    EXPECT_FALSE(f.isVisible());
    // The item in flight is stopped, not finished: whatever was written before stays whole.
    for (const char* name : {"a.jpg", "b.jpg"})
        if (QFileInfo::exists(output(name)))
            EXPECT_FALSE(QImage(output(name)).isNull()) << name;
    EXPECT_FALSE(QFileInfo::exists(output("c.jpg")));
    EXPECT_TRUE(w.shell->folders.isEmpty());  // closing skips the open-folder step
}

TEST_F(WindowCommands, FailedItemsAreCountedAndListedOnPanelOne)
{
    app::Form3& f = *w.form;
    listImages({{"a.png", 8, 8}});
    const QString broken = QDir(sources.path()).filePath("broken.png");
    {
        QFile file(broken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("this is not a picture");
    }
    f.List1->addItem(broken);
    listImages({{"c.bmp", 8, 8}});
    f.FlatEdit2->setText(destination.path());
    f.Combo1->setCurrentText("PNG");
    f.Combo1_Click();
    clickStart();

    EXPECT_TRUE(w.messages->asked.isEmpty());
    EXPECT_EQ(f.panelText(1), QStringLiteral("Finished. 1 of 3 files failed."));
    const QString tip = f.panel(1)->toolTip();
    EXPECT_TRUE(tip.contains(QString(broken).toHtmlEscaped())) << tip.toStdString();
    EXPECT_FALSE(tip.contains(QStringLiteral("a.png"))) << tip.toStdString();
    EXPECT_FALSE(QFileInfo::exists(output("broken.png")));
    EXPECT_FALSE(QImage(output("a.png")).isNull());
    EXPECT_FALSE(QImage(output("c.png")).isNull());

    // A click on the panel shows the whole list.
    QTest::mouseClick(f.panel(1), Qt::LeftButton);
    ASSERT_EQ(w.messages->asked.size(), 1);
    EXPECT_TRUE(w.messages->asked[0].text.startsWith(QStringLiteral("1 of 3 files failed:\n")));
    EXPECT_TRUE(w.messages->asked[0].text.contains(broken + QStringLiteral(": ")));
    EXPECT_EQ(w.messages->asked[0].buttons, platform::MessageButtons::Ok);

    // The list belongs to that result only.
    f.setPanelText(1, QStringLiteral("Name: a.png"));
    EXPECT_TRUE(f.panel(1)->toolTip().isEmpty());
    QTest::mouseClick(f.panel(1), Qt::LeftButton);
    EXPECT_EQ(w.messages->asked.size(), 1);
}

TEST_F(WindowCommands, HelpOpensTheHelpPage)
{
    QTest::mouseClick(w.form->XpB6, Qt::LeftButton);
    ASSERT_EQ(w.shell->urls.size(), 1);
    const QUrl page = w.shell->urls[0];
    ASSERT_TRUE(page.isLocalFile());
    QFile file(page.toLocalFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray html = file.readAll();
    // The page explains the window's controls by their captions.
    for (const char* caption :
         {"Source", "Destination", "Maintain aspect ratio", "Quick size", "Do not overwrite files",
          "Process sub-folders", "JPEG Quality", "Open folder after conversion/resizing", "Cancel", "Clear"})
        EXPECT_TRUE(html.contains(caption)) << caption;
}
