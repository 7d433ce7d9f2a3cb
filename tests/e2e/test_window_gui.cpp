// The real window on the real X platform: every control where the layout table puts it,
// with its font; the real buttons clicked with the mouse; the real message boxes answered;
// a real conversion; and a screenshot checked at the frame lines and the progress bar.

#include "support/WindowE2E.h"

#include "app/Form3.h"
#include "controls/picturebutton/XpB.h"
#include "controls/progressbar/XP_ProgressBar.h"
#include "controls/themedbutton/ThemedButton.h"
#include "platform/PlatformServices.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace quarbel;
using quarbel::e2e::MessageBoxAnswerer;
using quarbel::e2e::SeenMessage;

namespace {

class RealWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        e2e::ensureApplication();
        qputenv("QUARBEL_INSTANCE_KEY", "quarbel-e2e-gui");
        form = std::make_unique<app::Form3>(platform::PlatformServices::qt());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        ASSERT_TRUE(sources.isValid() && destination.isValid());
    }

    void listImages(const QStringList& names)
    {
        for (const QString& name : names) {
            const QString path = e2e::writeImage(sources.path(), name, 24, 16);
            ASSERT_FALSE(path.isEmpty());
            form->List1->addItem(path);
        }
    }

    void typeDestination(const QString& text)
    {
        form->FlatEdit2->clear();
        QTest::mouseClick(form->FlatEdit2, Qt::LeftButton);
        QTest::keyClicks(form->FlatEdit2, text);
    }

    QString output(const QString& name) const { return QDir(destination.path()).filePath(name); }

    std::unique_ptr<app::Form3> form;
    QTemporaryDir sources;
    QTemporaryDir destination;
    QList<SeenMessage> seen;
};

struct Placement {
    const char* name;
    QRect rect;  // relative to the control's group, or to the window
};

// The window's layout table.
const Placement kPlacements[] = {
    {"Label1", {200, 8, 169, 17}},
    {"List1", {16, 24, 505, 164}},
    {"Label2", {592, 8, 89, 17}},
    {"Picture1", {528, 24, 185, 169}},
    {"fraAdvanced", {16, 192, 273, 225}},
    {"RadioButton3", {8, 24, 57, 17}},
    {"RadioButton4", {80, 24, 81, 17}},
    {"CheckBox3", {8, 48, 217, 17}},
    {"CheckBox2", {8, 72, 201, 17}},
    {"Combo1", {8, 104, 97, 21}},
    {"Label3", {112, 104, 89, 17}},
    {"Combo2", {8, 136, 97, 21}},
    {"Label4", {112, 136, 81, 17}},
    {"CheckBox4", {8, 168, 257, 41}},
    {"fraSize", {296, 192, 425, 127}},
    {"lblWidth", {17, 28, 41, 17}},
    {"txtWidth", {60, 24, 66, 21}},
    {"lblUnitsW", {128, 24, 41, 17}},
    {"CheckBox1", {176, 24, 185, 17}},
    {"lblHeight", {16, 72, 41, 17}},
    {"txtHeight", {64, 72, 66, 21}},
    {"lblUnitsH", {136, 72, 41, 17}},
    {"lblQuick", {184, 72, 59, 13}},
    {"cbQuick", {248, 64, 121, 23}},
    {"fraOptions", {296, 328, 425, 89}},
    {"RadioButton1", {16, 24, 73, 25}},
    {"RadioButton2", {16, 56, 81, 25}},
    {"XpB1", {336, 40, 81, 25}},
    {"FlatEdit1", {16, 424, 609, 25}},
    {"ThemedButton1", {640, 424, 81, 25}},
    {"FlatEdit2", {16, 464, 609, 25}},
    {"ThemedButton2", {640, 464, 81, 25}},
    {"XP_ProgressBar1", {16, 504, 273, 17}},
    {"percent", {304, 504, 63, 17}},
    {"XpB6", {368, 496, 73, 25}},
    {"ThemedButton4", {456, 496, 73, 25}},
    {"ThemedButton3", {544, 496, 81, 25}},
    {"StatusBar1", {0, 530, 737, 25}},
};

}  // namespace

TEST_F(RealWindow, TitleSizeAndEveryControlWhereTheTablePutsIt)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quarbel Image Converter 1.0"));
    EXPECT_EQ(form->geometry().size(), QSize(737, 555));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());  // fixed size
    for (const Placement& p : kPlacements) {
        auto* widget = form->findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(widget, nullptr) << p.name;
        EXPECT_EQ(widget->geometry(), p.rect) << p.name;
    }
    // Group members sit in their group.
    for (const char* name : {"RadioButton3", "CheckBox4", "Combo2", "Label4"})
        EXPECT_EQ(form->findChild<QWidget*>(name)->parentWidget(), form->fraAdvanced) << name;
    for (const char* name : {"txtWidth", "cbQuick", "CheckBox1", "lblUnitsH"})
        EXPECT_EQ(form->findChild<QWidget*>(name)->parentWidget(), form->fraSize) << name;
    for (const char* name : {"RadioButton1", "RadioButton2", "XpB1"})
        EXPECT_EQ(form->findChild<QWidget*>(name)->parentWidget(), form->fraOptions) << name;
}

TEST_F(RealWindow, FontsResolveToInstalledMetricCompatibleFamilies)
{
    // Arial 9 pt is 12 px at 96 dots per inch; MS Sans Serif 9.75 pt (13 px) sets narrower
    // than Arial, so its stand-in is one pixel smaller.
    const std::pair<QWidget*, int> cases[] = {
        {form->Label1, 12},   {form->CheckBox4, 12}, {form->ThemedButton3, 12}, {form->Combo1, 12},
        {form->lblWidth, 12}, {form->txtWidth, 12},  {form->cbQuick, 12},       {form->Label3, 12},
        {form->Label4, 12},   {form->percent, 12},   {form->lblQuick, 12}};
    for (const auto& [widget, pixels] : cases) {
        const QFontInfo info(widget->font());
        EXPECT_EQ(info.family(), QStringLiteral("Liberation Sans")) << widget->objectName().toStdString();
        EXPECT_EQ(info.pixelSize(), pixels) << widget->objectName().toStdString();
    }
    // The captions fit their boxes.
    for (QWidget* w : std::initializer_list<QWidget*>{form->Label1, form->Label2, form->Label3, form->Label4,
                                                      form->lblQuick, form->lblWidth, form->lblHeight}) {
        auto* label = static_cast<QLabel*>(w);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << label->objectName().toStdString();
    }
    for (QWidget* w : std::initializer_list<QWidget*>{form->CheckBox1, form->CheckBox2, form->CheckBox3,
                                                      form->CheckBox4, form->RadioButton1, form->RadioButton2,
                                                      form->RadioButton3, form->RadioButton4}) {
        // The indicator, its spacing and the caption (sizeHint adds slack of its own).
        const auto* button = static_cast<QAbstractButton*>(w);
        const int needed = w->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
                           w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w) +
                           w->fontMetrics().horizontalAdvance(button->text());
        EXPECT_LE(needed, w->width()) << w->objectName().toStdString();
    }
}

TEST_F(RealWindow, StartWithAnEmptyListShowsTheRealMessage)
{
    MessageBoxAnswerer answerer(seen);
    answerer.answer({"OK"});
    QTest::mouseClick(form->ThemedButton3, Qt::LeftButton);
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].text, QStringLiteral(" Please select source directory."));
    EXPECT_EQ(seen[0].title, QStringLiteral("Error"));
    EXPECT_EQ(seen[0].icon, QMessageBox::Information);
    EXPECT_EQ(seen[0].buttons, QStringList({"OK"}));
    EXPECT_TRUE(form->ThemedButton3->isEnabled());
}

TEST_F(RealWindow, ModeButtonsAndARealConversionThroughTheStartButton)
{
    // Resize, then back to Convert, with the mouse.
    QTest::mouseClick(form->RadioButton2, Qt::LeftButton, {}, QPoint(8, form->RadioButton2->height() / 2));
    EXPECT_EQ(form->ThemedButton3->Caption(), QStringLiteral("Resize"));
    EXPECT_TRUE(form->txtWidth->isEnabled());
    QTest::mouseClick(form->RadioButton1, Qt::LeftButton, {}, QPoint(8, form->RadioButton1->height() / 2));
    EXPECT_EQ(form->ThemedButton3->Caption(), QStringLiteral("Convert"));

    form->Combo1->setCurrentText(QStringLiteral("BMP"));
    form->Combo1_Click();
    listImages({"one.png", "two.jpg", "three.bmp"});
    typeDestination(destination.path());
    QTest::mouseClick(form->ThemedButton3, Qt::LeftButton);

    EXPECT_TRUE(seen.isEmpty());
    for (const char* name : {"one.bmp", "two.bmp", "three.bmp"}) {
        const QImage image(output(QString::fromLatin1(name)));
        EXPECT_EQ(image.size(), QSize(24, 16)) << name;
    }
    EXPECT_EQ(form->panelText(1), QStringLiteral("Finished."));
    EXPECT_EQ(form->percent->text(), QStringLiteral("100%"));
    EXPECT_TRUE(form->percent->isVisible());
    EXPECT_FALSE(form->ThemedButton4->isEnabled());
}

TEST_F(RealWindow, CancelAsksTheRealQuestionBetweenItems)
{
    listImages({"a.png", "b.png", "c.png", "d.png"});
    typeDestination(destination.path());
    MessageBoxAnswerer answerer(seen);
    QTimer::singleShot(0, form.get(), [this, &answerer] {
        QTest::mouseClick(form->ThemedButton4, Qt::LeftButton);
        answerer.answer({"Yes"});
    });
    QTest::mouseClick(form->ThemedButton3, Qt::LeftButton);

    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].text, QStringLiteral("Do you want to cancel?"));
    EXPECT_EQ(seen[0].title, QStringLiteral("Image Conversion"));
    EXPECT_EQ(seen[0].icon, QMessageBox::Question);
    EXPECT_EQ(seen[0].buttons.size(), 2);
    EXPECT_EQ(form->panelText(1), QStringLiteral(" Image conversion cancelled..."));
    EXPECT_FALSE(QFileInfo::exists(output("d.jpg")));
    EXPECT_TRUE(form->ThemedButton4->isEnabled());
    EXPECT_FALSE(form->percent->isVisible());
}

TEST_F(RealWindow, ScreenshotShowsFrameLinesAndAWhiteProgressBar)
{
    QApplication::processEvents();
    const QImage shot = form->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(737, 555) * form->devicePixelRatio());
    EXPECT_TRUE(shot.save(e2e::artifactFolder() + QStringLiteral("/window-start.png")));

    const QColor line(128, 128, 128);
    const QColor background = form->palette().color(QPalette::Window);
    // The frame lines: left, right, bottom, and the top line outside the labels' gaps.
    for (const QPoint p : {QPoint(8, 300), QPoint(728, 100), QPoint(400, 528), QPoint(100, 16),
                           QPoint(450, 16), QPoint(700, 16), QPoint(8, 16), QPoint(728, 528)})
        EXPECT_EQ(shot.pixelColor(p), line) << p.x() << "," << p.y();
    // Just beside the lines, and in the gaps the labels leave, there is no line.
    for (const QPoint p :
         {QPoint(9, 300), QPoint(727, 100), QPoint(400, 527), QPoint(100, 17), QPoint(12, 420)})
        EXPECT_EQ(shot.pixelColor(p), background) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(210, 16), QPoint(360, 16), QPoint(600, 16), QPoint(670, 16)})
        EXPECT_NE(shot.pixelColor(p), line) << p.x() << "," << p.y();

    // The progress bar's inside is white at start.
    const QRect bar = form->XP_ProgressBar1->geometry();
    int white = 0;
    for (int x = bar.left() + 3; x < bar.right() - 3; ++x)
        white += shot.pixelColor(x, bar.center().y()) == QColor(Qt::white) ? 1 : 0;
    EXPECT_GT(white, (bar.width() - 6) * 9 / 10);
}

TEST_F(RealWindow, ScreenshotAfterARunShowsAGreenBar)
{
    listImages({"a.png", "b.png"});
    typeDestination(destination.path());
    QTest::mouseClick(form->ThemedButton3, Qt::LeftButton);
    QApplication::processEvents();
    const QImage shot = form->grab().toImage();
    EXPECT_TRUE(shot.save(e2e::artifactFolder() + QStringLiteral("/window-finished.png")));
    const QRect bar = form->XP_ProgressBar1->geometry();
    int greenish = 0;
    for (int x = bar.left() + 3; x < bar.right() - 3; ++x) {
        const QColor c = shot.pixelColor(x, bar.center().y());
        greenish += c.green() > c.red() + 40 && c.green() > c.blue() + 40 ? 1 : 0;
    }
    EXPECT_GT(greenish, (bar.width() - 6) / 2);
}
