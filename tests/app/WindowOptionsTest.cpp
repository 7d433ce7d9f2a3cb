// The window after start-up and its option rules: mode and format, the digit filter, the
// aspect coupling and the quick sizes.

#include "WindowTestSupport.h"

#include "controls/picturebutton/XpB.h"
#include "controls/progressbar/XP_ProgressBar.h"
#include "controls/themedbutton/ThemedButton.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

using namespace quarbel;
using quarbel::testing::FakeWindow;

namespace {

QStringList itemsOf(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

}  // namespace

TEST(WindowStartUp, ControlsAreInTheirInitialStates)
{
    FakeWindow w;
    app::Form3& f = *w.form;
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Quarbel Image Converter 1.0"));
    EXPECT_EQ(f.size(), QSize(737, 555));

    // Mode Convert, adding Single, coupling on, the other boxes off.
    EXPECT_TRUE(f.RadioButton1->isChecked());
    EXPECT_FALSE(f.RadioButton2->isChecked());
    EXPECT_TRUE(f.RadioButton3->isChecked());
    EXPECT_FALSE(f.RadioButton4->isChecked());
    EXPECT_TRUE(f.CheckBox1->isChecked());
    EXPECT_FALSE(f.CheckBox2->isChecked());
    EXPECT_FALSE(f.CheckBox3->isChecked());
    EXPECT_FALSE(f.CheckBox4->isChecked());

    // Format JPG and quality 75, both enabled.
    EXPECT_EQ(itemsOf(f.Combo1), QStringList({"JPG", "PNG", "GIF", "BMP", "TIFF", "WEBP", "AVIF", "JXL"}));
    EXPECT_EQ(f.Combo1->currentText(), QStringLiteral("JPG"));
    EXPECT_TRUE(f.Combo1->isEnabled());
    QStringList qualities;
    for (int q = 100; q >= 5; q -= 5)
        qualities << QString::number(q);
    EXPECT_EQ(itemsOf(f.Combo2), qualities);
    EXPECT_EQ(f.Combo2->currentText(), QStringLiteral("75"));
    EXPECT_TRUE(f.Combo2->isEnabled());
    EXPECT_FALSE(f.Combo1->isEditable());
    EXPECT_FALSE(f.Combo2->isEditable());

    // Quick size 100% and the size fields "0", all disabled.
    EXPECT_EQ(itemsOf(f.cbQuick), QStringList({"10%", "25%", "50%", "75%", "100%"}));
    EXPECT_EQ(f.cbQuick->currentText(), QStringLiteral("100%"));
    EXPECT_TRUE(f.cbQuick->isEditable());
    EXPECT_FALSE(f.cbQuick->isEnabled());
    EXPECT_EQ(f.txtWidth->text(), QStringLiteral("0"));
    EXPECT_EQ(f.txtHeight->text(), QStringLiteral("0"));
    EXPECT_FALSE(f.txtWidth->isEnabled());
    EXPECT_FALSE(f.txtHeight->isEnabled());
    EXPECT_FALSE(f.CheckBox1->isEnabled());

    // Buttons: start "Convert", Cancel and Clear disabled, Help with its tooltip.
    EXPECT_EQ(f.ThemedButton1->Caption(), QStringLiteral("Source"));
    EXPECT_EQ(f.ThemedButton2->Caption(), QStringLiteral("Destination"));
    EXPECT_EQ(f.ThemedButton3->Caption(), QStringLiteral("Convert"));
    EXPECT_EQ(f.ThemedButton4->Caption(), QStringLiteral("Cancel"));
    EXPECT_TRUE(f.ThemedButton1->isEnabled());
    EXPECT_TRUE(f.ThemedButton2->isEnabled());
    EXPECT_TRUE(f.ThemedButton3->isEnabled());
    EXPECT_FALSE(f.ThemedButton4->isEnabled());
    EXPECT_EQ(f.ThemedButton3->Style(), 5);
    EXPECT_EQ(f.XpB1->Caption(), QStringLiteral("Clear"));
    EXPECT_FALSE(f.XpB1->isEnabled());
    EXPECT_EQ(f.XpB1->ButtonStyle(), 3);
    EXPECT_EQ(f.XpB6->Caption(), QStringLiteral("Help"));
    EXPECT_EQ(f.XpB6->toolTip(), QStringLiteral("Online Help"));
    EXPECT_TRUE(f.XpB6->isEnabled());
    EXPECT_FALSE(f.XpB6->Picture().isNull());

    // Progress bar visible at 0 and white; percentage hidden; state cleared.
    EXPECT_FALSE(f.XP_ProgressBar1->isHidden());
    EXPECT_EQ(f.XP_ProgressBar1->Value(), 0);
    EXPECT_EQ(f.XP_ProgressBar1->Color(), 0xFFFFFFu);
    EXPECT_TRUE(f.percent->isHidden());
    EXPECT_EQ(f.List1->count(), 0);
    EXPECT_TRUE(f.FlatEdit1->text().isEmpty());
    EXPECT_TRUE(f.FlatEdit2->text().isEmpty());
    for (int panel = 1; panel <= 4; ++panel)
        EXPECT_TRUE(f.panelText(panel).isEmpty()) << panel;
    EXPECT_FALSE(f.CancelRequested);
    EXPECT_TRUE(f.TargetExtension.isEmpty());
    EXPECT_EQ(f.PreviewWidth, 0);
    EXPECT_EQ(f.PreviewHeight, 0);
}

TEST(WindowStartUp, CaptionsOfLabelsAndOptions)
{
    FakeWindow w;
    app::Form3& f = *w.form;
    const std::pair<QString, QString> expected[] = {
        {f.Label1->text(), "( Drag and Drop Image Files )"},
        {f.Label2->text(), "Preview Image"},
        {f.Label3->text(), "Image Formats"},
        {f.Label4->text(), "JPEG Quality"},
        {f.lblWidth->text(), "Width"},
        {f.lblHeight->text(), "Height"},
        {f.lblUnitsW->text(), "pixels"},
        {f.lblUnitsH->text(), "pixels"},
        {f.lblQuick->text(), "Quick size"},
        {f.RadioButton1->text(), "Convert"},
        {f.RadioButton2->text(), "Resize"},
        {f.RadioButton3->text(), "Single"},
        {f.RadioButton4->text(), "Multiple"},
        {f.CheckBox1->text(), "Maintain aspect ratio"},
        {f.CheckBox2->text(), "Process sub-folders"},
        {f.CheckBox3->text(), "Do not overwrite files"},
        {f.CheckBox4->text(), "Open folder after conversion/resizing"},
        {f.fraSize->title(), "New size"},
        {f.fraOptions->title(), "Options"},
        {f.fraAdvanced->title(), "Advanced Options"},
    };
    for (const auto& [actual, wanted] : expected)
        EXPECT_EQ(actual, wanted);
}

TEST(WindowOptions, ModeRulesSwitchCaptionAndEnabling)
{
    FakeWindow w;
    app::Form3& f = *w.form;
    f.txtWidth->setText("0");
    f.RadioButton2->click();
    EXPECT_EQ(f.ThemedButton3->Caption(), QStringLiteral("Resize"));
    for (QWidget* on : std::initializer_list<QWidget*>{f.txtWidth, f.txtHeight, f.cbQuick, f.CheckBox1})
        EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
    EXPECT_FALSE(f.Combo1->isEnabled());
    EXPECT_FALSE(f.Combo2->isEnabled());
    EXPECT_EQ(f.Combo1->currentText(), QStringLiteral("JPG"));  // selections are kept

    f.RadioButton1->click();
    EXPECT_EQ(f.ThemedButton3->Caption(), QStringLiteral("Convert"));
    for (QWidget* off : std::initializer_list<QWidget*>{f.txtWidth, f.txtHeight, f.cbQuick, f.CheckBox1})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    EXPECT_TRUE(f.Combo1->isEnabled());
    EXPECT_TRUE(f.Combo2->isEnabled());
}

TEST(WindowOptions, SwitchingModesKeepsTheSizeTexts)
{
    FakeWindow w;
    app::Form3& f = *w.form;
    f.CheckBox1->setChecked(false);
    f.RadioButton2->click();
    f.txtWidth->setText("640");
    f.txtHeight->setText("480");
    f.cbQuick->setEditText("33");
    f.RadioButton1->click();
    f.RadioButton2->click();
    EXPECT_EQ(f.txtWidth->text(), QStringLiteral("640"));
    EXPECT_EQ(f.txtHeight->text(), QStringLiteral("480"));
    EXPECT_EQ(f.cbQuick->currentText(), QStringLiteral("33"));
}

TEST(WindowOptions, FormatRuleEnablesQualityOnlyForTheLossyFormats)
{
    FakeWindow w;
    app::Form3& f = *w.form;
    const std::pair<const char*, bool> cases[] = {
        {"PNG", false},  {"JPG", true},  {"GIF", false}, {"BMP", false}, {"WEBP", true},
        {"TIFF", false}, {"AVIF", true}, {"PNG", false}, {"JXL", true},  {"JPG", true}};
    for (const auto& [format, qualityEnabled] : cases) {
        f.Combo1->setCurrentText(QString::fromLatin1(format));
        f.Combo1_Click();
        EXPECT_EQ(f.Combo2->isEnabled(), qualityEnabled) << format;
    }
}

TEST(WindowOptions, ConvertModeEnablesQualityUntilTheNextFormatPick)
{
    FakeWindow w;
    app::Form3& f = *w.form;
    f.Combo1->setCurrentText("PNG");
    f.Combo1_Click();
    ASSERT_FALSE(f.Combo2->isEnabled());
    f.RadioButton2->click();
    f.RadioButton1->click();
    EXPECT_TRUE(f.Combo2->isEnabled());  // whatever the format
    f.Combo1->setCurrentText("PNG");
    f.Combo1_Click();
    EXPECT_FALSE(f.Combo2->isEnabled());
}

// The digit filter: typed digits and backspace pass, every other character and the paste
// shortcuts are dropped. "cbQuick" gets its keys as Qt routes them (the combo box has the
// focus and hands them to its editor); "cbQuick.editor" gets them on the editor itself.
class DigitFilter : public ::testing::TestWithParam<const char*> {};

TEST_P(DigitFilter, OnlyDigitsAndBackspaceReachTheField)
{
    FakeWindow w;
    app::Form3& f = *w.form;
    f.CheckBox1->setChecked(false);
    f.RadioButton2->click();
    const QString field = QString::fromLatin1(GetParam());
    QLineEdit* edit = field.startsWith("cbQuick") ? f.cbQuick->lineEdit() : f.findChild<QLineEdit*>(field);
    ASSERT_NE(edit, nullptr);
    QWidget* keys = field == "cbQuick" ? static_cast<QWidget*>(f.cbQuick) : edit;
    edit->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("777"));

    QTest::keyClicks(keys, QStringLiteral("1a%2 x-.,"));
    EXPECT_EQ(edit->text(), QStringLiteral("12"));
    QTest::keyClick(keys, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(keys, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("12"));
    QTest::keyClick(keys, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("1"));
    QTest::keyClicks(keys, QStringLiteral("9"));
    EXPECT_EQ(edit->text(), QStringLiteral("19"));
}

INSTANTIATE_TEST_SUITE_P(Fields, DigitFilter,
                         ::testing::Values("txtWidth", "txtHeight", "cbQuick", "cbQuick.editor"),
                         [](const auto& info) {
                             return QString::fromLatin1(info.param).remove(u'.').toStdString();
                         });

TEST(WindowOptions, QuickSizeDropsKeysAfterATextAbove100)
{
    FakeWindow w;
    app::Form3& f = *w.form;
    f.RadioButton2->click();
    QLineEdit* edit = f.cbQuick->lineEdit();
    edit->setText(QStringLiteral("150"));  // by code: no change rule
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, QStringLiteral("7"));
    EXPECT_EQ(edit->text(), QStringLiteral("150"));
}

struct CouplingCase {
    int previewWidth, previewHeight;
    const char* field;  // the field typed into
    const char* typed;
    const char* width;  // both fields afterwards
    const char* height;
};

class AspectCoupling : public ::testing::TestWithParam<CouplingCase> {};

TEST_P(AspectCoupling, TheOtherFieldFollowsThePreviewProportions)
{
    const CouplingCase c = GetParam();
    FakeWindow w;
    app::Form3& f = *w.form;
    f.PreviewWidth = c.previewWidth;
    f.PreviewHeight = c.previewHeight;
    f.RadioButton2->click();
    QLineEdit* edit = QString::fromLatin1(c.field) == "width" ? f.txtWidth : f.txtHeight;
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(c.typed));
    EXPECT_EQ(f.txtWidth->text(), QString::fromLatin1(c.width));
    EXPECT_EQ(f.txtHeight->text(), QString::fromLatin1(c.height));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, AspectCoupling,
    ::testing::Values(
        // 80 of 1000 is 8 %, of 750 that is 60.
        CouplingCase{1000, 750, "width", "80", "80", "60"},
        // 9 of 750, times 1000, is exactly 12.
        CouplingCase{1000, 750, "height", "9", "12", "9"},
        // 2 of 3 gives a height of 0.67 -> 1, which gives the width 3 back: 3 -> 1 stops.
        CouplingCase{3, 1, "width", "2", "3", "1"},
        // Half-even: 1 of 2 times 5 is 2.5 -> 2; 2 of 5 times 2 is 0.8 -> 1; 1 -> 2.5 -> 2.
        CouplingCase{2, 5, "width", "1", "1", "2"},
        // A result above 32767 leaves the other field as it was ("8" of the first digit).
        CouplingCase{1, 10000, "width", "40", "40", "0"}));

TEST(WindowOptions, CouplingLeavesTheOtherFieldForEmptyTextsNoPreviewAndWhenOff)
{
    FakeWindow w;
    app::Form3& f = *w.form;
    f.RadioButton2->click();
    f.PreviewWidth = 1000;
    f.PreviewHeight = 750;
    f.txtWidth->setText("80");
    ASSERT_EQ(f.txtHeight->text(), QStringLiteral("60"));

    f.txtWidth->selectAll();
    QTest::keyClick(f.txtWidth, Qt::Key_Backspace);  // emptied
    EXPECT_EQ(f.txtWidth->text(), QString());
    EXPECT_EQ(f.txtHeight->text(), QStringLiteral("60"));

    f.CheckBox1->setChecked(false);
    f.txtWidth->setText("500");
    EXPECT_EQ(f.txtHeight->text(), QStringLiteral("60"));

    f.CheckBox1->setChecked(true);
    f.PreviewWidth = 0;
    f.txtWidth->setText("400");
    EXPECT_EQ(f.txtHeight->text(), QStringLiteral("60"));
}

struct QuickCase {
    int previewWidth, previewHeight;
    int item;  // index of the listed percentage
    const char* width;
    const char* height;
};

class QuickSizeItem : public ::testing::TestWithParam<QuickCase> {};

TEST_P(QuickSizeItem, FieldsTakeTheSinglePrecisionShare)
{
    const QuickCase c = GetParam();
    FakeWindow w;
    app::Form3& f = *w.form;
    f.CheckBox1->setChecked(false);
    f.PreviewWidth = c.previewWidth;
    f.PreviewHeight = c.previewHeight;
    f.RadioButton2->click();
    f.selectQuickSize(c.item);
    EXPECT_EQ(f.txtWidth->text(), QString::fromLatin1(c.width));
    EXPECT_EQ(f.txtHeight->text(), QString::fromLatin1(c.height));
}

INSTANTIATE_TEST_SUITE_P(Items, QuickSizeItem,
                         ::testing::Values(
                             // 0.1f is a little above one tenth: 2.5000000373 rounds up.
                             QuickCase{25, 25, 0, "3", "3"},
                             // 0.5 is exact: 2.5 goes to the even 2.
                             QuickCase{5, 5, 2, "2", "2"}, QuickCase{640, 480, 1, "160", "120"},
                             QuickCase{641, 481, 3, "481", "361"},  // 480.75 -> 481, 360.75 -> 361
                             QuickCase{640, 480, 4, "640", "480"},
                             // No preview yet: both fields "0".
                             QuickCase{0, 0, 0, "0", "0"}));

TEST(WindowOptions, TypedQuickSizeAbove100BecomesASelected100)
{
    FakeWindow w;
    app::Form3& f = *w.form;
    f.PreviewWidth = 800;
    f.PreviewHeight = 600;
    f.RadioButton2->click();
    QLineEdit* edit = f.cbQuick->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("1"));
    EXPECT_EQ(f.txtWidth->text(), QStringLiteral("8"));
    EXPECT_EQ(f.txtHeight->text(), QStringLiteral("6"));
    QTest::keyClicks(edit, QStringLiteral("50"));
    EXPECT_EQ(edit->text(), QStringLiteral("100"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("100"));
    EXPECT_EQ(f.txtWidth->text(), QStringLiteral("800"));
    EXPECT_EQ(f.txtHeight->text(), QStringLiteral("600"));
    // The selected text is replaced by the next digit.
    QTest::keyClicks(edit, QStringLiteral("5"));
    EXPECT_EQ(edit->text(), QStringLiteral("5"));
    EXPECT_EQ(f.txtWidth->text(), QStringLiteral("40"));
}

TEST(WindowOptions, TypedQuickSizeEmptyGivesZero)
{
    FakeWindow w;
    app::Form3& f = *w.form;
    f.PreviewWidth = 800;
    f.PreviewHeight = 600;
    f.RadioButton2->click();
    QLineEdit* edit = f.cbQuick->lineEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(f.txtWidth->text(), QStringLiteral("0"));
    EXPECT_EQ(f.txtHeight->text(), QStringLiteral("0"));
}
