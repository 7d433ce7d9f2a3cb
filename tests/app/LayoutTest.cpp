// The layout file's reader, the program's own layout, and the window's number rules.

#include "app/Form3.h"
#include "app/FormLayout.h"
#include "app/Numbers.h"
#include "app/ResourceFiles.h"

#include <gtest/gtest.h>
#include <QFile>

using namespace quarbel::app;

TEST(FormLayout, ReadsNestedBlocksWithTextsAndNumbers)
{
    const auto layout = FormLayout::parse(
        QStringLiteral("# comment\n"
                       "Begin Form F\n"
                       "   Caption = \"Say \"\"hi\"\" \"\n"
                       "   Begin Frame G\n"
                       "      Left = 3\n      Top = 4\n      Width = 50\n      Height = 60\n"
                       "      Begin Label L\n         Visible = False\n         FONTSIZE = 9.75\n      End\n"
                       "   End\n"
                       "End\n"));
    ASSERT_TRUE(layout);
    ASSERT_EQ(layout->controls().size(), 3);
    const LayoutControl* form = layout->control("F");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->value("caption"), QStringLiteral("Say \"hi\" "));
    EXPECT_TRUE(form->parent.isEmpty());
    const LayoutControl* frame = layout->control("G");
    EXPECT_EQ(frame->parent, QStringLiteral("F"));
    EXPECT_EQ(frame->geometry(), QRect(3, 4, 50, 60));
    const LayoutControl* label = layout->control("L");
    EXPECT_EQ(label->kind, QStringLiteral("Label"));
    EXPECT_EQ(label->parent, QStringLiteral("G"));
    EXPECT_FALSE(label->flag("Visible", true));
    EXPECT_DOUBLE_EQ(label->real("FontSize"), 9.75);
    EXPECT_EQ(label->number("Missing", 7), 7);
}

class BrokenLayout : public ::testing::TestWithParam<std::pair<const char*, int>> {};

TEST_P(BrokenLayout, IsRefusedWithTheLineNumber)
{
    QString error;
    EXPECT_FALSE(FormLayout::parse(QString::fromLatin1(GetParam().first), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("line %1:").arg(GetParam().second))) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenLayout,
    ::testing::Values(std::pair{"Begin Form F\n  Caption = \"open\n", 2},
                      std::pair{"Begin Form F\n  Left = 1\n", 1},         // no End
                      std::pair{"End\n", 1}, std::pair{"Left = 1\n", 1},  // outside a block
                      std::pair{"Begin Form F\n Begin Label A\n End\n Begin Label A\n", 4},
                      std::pair{"Begin Form F\nEnd\nBegin Form G\n", 3}, std::pair{"Begin Form\n", 1},
                      std::pair{"Begin Form F\n  just words\n", 2},
                      std::pair{"Begin Form F\n  C = \"a\" b\nEnd\n", 2}, std::pair{"", 1}));

TEST(FormLayout, TheProgramsLayoutFileMatchesTheEmbeddedCopy)
{
    initResources();
    QFile onDisk(QStringLiteral(QUARBEL_SOURCE_DIR "/resources/Form3.layout"));
    QFile embedded(QStringLiteral(":/quarbel/Form3.layout"));
    ASSERT_TRUE(onDisk.open(QIODevice::ReadOnly));
    ASSERT_TRUE(embedded.open(QIODevice::ReadOnly));
    EXPECT_EQ(onDisk.readAll(), embedded.readAll());
    const FormLayout layout = Form3::programLayout();
    // Every control of the window has its block, each name once.
    for (const char* name :
         {"Form3",         "Label1",        "List1",         "Label2",          "Picture1",  "fraAdvanced",
          "RadioButton3",  "RadioButton4",  "CheckBox3",     "CheckBox2",       "Combo1",    "Label3",
          "Combo2",        "Label4",        "CheckBox4",     "fraSize",         "lblWidth",  "txtWidth",
          "lblUnitsW",     "CheckBox1",     "lblHeight",     "txtHeight",       "lblUnitsH", "lblQuick",
          "cbQuick",       "fraOptions",    "RadioButton1",  "RadioButton2",    "XpB1",      "FlatEdit1",
          "ThemedButton1", "FlatEdit2",     "ThemedButton2", "XP_ProgressBar1", "percent",   "XpB6",
          "ThemedButton4", "ThemedButton3", "StatusBar1"})
        EXPECT_TRUE(layout.control(QString::fromLatin1(name))) << name;
    EXPECT_EQ(layout.ofKind("Line").size(), 6);
}

TEST(Numbers, RoundHalfToEven)
{
    const std::pair<double, long long> cases[] = {{0.5, 0},     {1.5, 2},        {2.5, 2},
                                                  {3.5, 4},     {-2.5, -2},      {2.5000000372529, 3},
                                                  {0.49999, 0}, {32767.4, 32767}};
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
    EXPECT_FALSE(roundHalfEven(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(roundHalfEven(std::nan("")));
}

TEST(Numbers, LeadingAndWholeNumbers)
{
    const std::pair<const char*, double> leading[] = {{"100%", 100}, {"", 0},      {"abc", 0},
                                                      {"  42x", 42}, {"150", 150}, {"1.5e2%", 150},
                                                      {"-3", -3},    {".5", 0.5}};
    for (const auto& [text, value] : leading)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromLatin1(text)), value) << text;
    EXPECT_EQ(wholeNumber("0640"), 640.0);
    EXPECT_FALSE(wholeNumber(""));
    EXPECT_FALSE(wholeNumber("12a"));
    EXPECT_FALSE(wholeNumber("inf"));
}
