// The control: its state after creation, value and colour setters, change notices,
// persistence and its buffer.

#include "controls/common/SystemColors.h"
#include "controls/progressbar/XP_ProgressBar.h"

#include <QApplication>
#include "TestApp.h"

#include <gtest/gtest.h>

namespace quarbel {
namespace {

class XP_ProgressBarTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testing::ensureApplication();
        SystemColors::use(SystemColors::classicTable());
    }
    static void TearDownTestSuite() { SystemColors::reset(); }

    void SetUp() override
    {
        bar.resize(60, 17);
        QObject::connect(&bar, &XP_ProgressBar::propertyChanged, [this](const QString& n) { notices << n; });
    }

    XP_ProgressBar bar;
    QStringList notices;
};

TEST_F(XP_ProgressBarTest, StartsWithTheCreationValues)
{
    XP_ProgressBar fresh;
    EXPECT_EQ(fresh.Max(), 100);
    EXPECT_EQ(fresh.Min(), 0);
    EXPECT_EQ(fresh.Percent(), 0);
    EXPECT_EQ(fresh.Scrolling(), 0);
    EXPECT_EQ(fresh.Orientation(), 0);
    EXPECT_FALSE(fresh.ShowText());
    EXPECT_EQ(fresh.brushStyle(), 0);
    EXPECT_TRUE(fresh.Image().isNull());
    EXPECT_EQ(fresh.Color(), SystemColors::get(Highlight));
}

TEST_F(XP_ProgressBarTest, ValueBecomesPercentAndBack)
{
    bar.setValue(50);
    EXPECT_EQ(bar.Percent(), 50);
    EXPECT_EQ(bar.Value(), 50);
    bar.setMax(3);
    bar.setValue(1);
    EXPECT_EQ(bar.Percent(), 33);
    EXPECT_EQ(bar.Value(), 1);
}

TEST_F(XP_ProgressBarTest, PercentAboveOneHundredIsLoweredByTheRepaint)
{
    bar.setValue(150);
    EXPECT_EQ(bar.Percent(), 100);
    bar.DrawProgressBar();
    EXPECT_EQ(bar.Percent(), 100);
    bar.setValue(-10);
    EXPECT_EQ(bar.Percent(), -10) << "negative percentages are not raised";
}

TEST_F(XP_ProgressBarTest, FailedValueKeepsThePercentAndReportsWhy)
{
    bar.setValue(40);
    bar.setMax(0);
    bar.setValue(5);
    EXPECT_EQ(bar.lastValueError(), progress::ValueError::DivisionByZero);
    EXPECT_EQ(bar.Percent(), 40);
    bar.setMax(100);
    EXPECT_EQ(bar.assignValue(30000000), progress::ValueError::Overflow);
    EXPECT_EQ(bar.Percent(), 40);
    EXPECT_EQ(bar.assignValue(60), progress::ValueError::None);
    EXPECT_EQ(bar.lastValueError(), progress::ValueError::None);
    EXPECT_EQ(bar.Percent(), 60);
}

TEST_F(XP_ProgressBarTest, ColourIsStoredResolved)
{
    bar.setColor(0x8000000D);
    EXPECT_EQ(bar.Color(), SystemColors::get(Highlight));
    bar.setColor(0x00FF00);
    EXPECT_EQ(bar.Color(), 0x00FF00u);
}

TEST_F(XP_ProgressBarTest, PersistedSettersNotifyTheContainerAndValueAndColourDoNot)
{
    bar.setValue(10);
    bar.setColor(0x00FF00);
    EXPECT_TRUE(notices.isEmpty());
    bar.setMax(10);
    bar.setMin(0);
    bar.setOrientation(1);
    bar.setScrolling(4);
    bar.setShowText(true);
    bar.setBrushStyle(2);
    bar.setImage(QImage(2, 2, QImage::Format_RGB32));
    EXPECT_EQ(notices,
              (QStringList{"Max", "Min", "Orientation", "Scrolling", "ShowText", "BrushStyle", "Image"}));
}

TEST_F(XP_ProgressBarTest, EveryVisibleChangeRepaintsTheBuffer)
{
    bar.setScrolling(progress::Flat);
    bar.setColor(0x00FF00);
    bar.setValue(0);
    const QImage empty = bar.clientImage();
    ASSERT_EQ(empty.size(), QSize(60, 17));
    bar.setValue(50);
    const QImage half = bar.clientImage();
    EXPECT_NE(half, empty);
    // Flat at 50: column 29 filled in L(180), column 30 white.
    EXPECT_EQ(half.pixel(29, 8), qRgb(180, 255, 180));
    EXPECT_EQ(half.pixel(30, 8), qRgb(255, 255, 255));
    bar.setColor(0xFF0000);
    EXPECT_EQ(bar.clientImage().pixel(29, 8), qRgb(180, 180, 255));
}

TEST_F(XP_ProgressBarTest, WritesOnlyWhatDiffersFromTheDefaultsInOrder)
{
    PropertyBag bag;
    bar.WriteProperties(bag);
    // A new bar's hatch style 0 differs from the bag default 4, and its resolved colour from
    // the system-colour reference, so both are written; Font always is.
    EXPECT_EQ(bag.names(), (QStringList{"Font", "BrushStyle", "Color"}));
    EXPECT_EQ(bag.ReadProperty("BrushStyle", 4).toInt(), 0);
    EXPECT_EQ(bag.ReadProperty("Color", 0).toLongLong(), qlonglong(SystemColors::get(Highlight)));

    bar.setMax(200);
    bar.setScrolling(7);
    bar.setShowText(true);
    bar.setOrientation(1);
    bar.setValue(100);
    PropertyBag more;
    bar.WriteProperties(more);
    EXPECT_EQ(more.names(), (QStringList{"Font", "BrushStyle", "Color", "Max", "Orientation", "Scrolling",
                                         "ShowText", "Value"}));
}

TEST_F(XP_ProgressBarTest, ReadsTheWindowsLayout)
{
    const auto bag = PropertyBag::fromText("Scrolling = 4\nColor = 16777215\nBrushStyle = 0\n");
    ASSERT_TRUE(bag);
    bar.ReadProperties(*bag);
    EXPECT_EQ(bar.Scrolling(), 4);
    EXPECT_EQ(bar.Color(), 0xFFFFFFu);
    EXPECT_EQ(bar.brushStyle(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Percent(), 0);
    // Missing names take the bag defaults: hatch style 4 and the highlight colour.
    XP_ProgressBar other;
    other.ReadProperties(PropertyBag());
    EXPECT_EQ(other.brushStyle(), 4);
    EXPECT_EQ(other.Color(), SystemColors::get(Highlight));
}

TEST_F(XP_ProgressBarTest, ValuesKeptAsTextAreReadAsTheLayoutWritesThem)
{
    PropertyBag bag;
    bag.set("Scrolling", QStringLiteral("7"));
    bag.set("Color", QStringLiteral("&H8000000D&"));
    bag.set("ShowText", QStringLiteral("True"));
    bag.set("Max", QStringLiteral("many"));  // not a number: the default
    bag.set("Value", QStringLiteral("-1"));
    bar.ReadProperties(bag);
    EXPECT_EQ(bar.Scrolling(), 7);
    EXPECT_EQ(bar.Color(), SystemColors::get(Highlight));
    EXPECT_TRUE(bar.ShowText());
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Percent(), -1);
}

TEST_F(XP_ProgressBarTest, MaxIsReadBeforeValueAndKeysIgnoreCase)
{
    const auto bag = PropertyBag::fromText("value = 2\nMAX = 3\n");
    ASSERT_TRUE(bag);
    bar.ReadProperties(*bag);
    EXPECT_EQ(bar.Max(), 3);
    EXPECT_EQ(bar.Percent(), 67);
}

TEST_F(XP_ProgressBarTest, SavedValueReadsBackUnderAnyMaximum)
{
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(qRgb(9, 8, 7));
    bar.setMax(200);
    bar.setValue(100);
    bar.setScrolling(8);
    bar.setImage(picture);
    bar.setShowText(true);
    bar.setColor(0x00FF00);
    PropertyBag bag;
    bar.WriteProperties(bag);
    const auto back = PropertyBag::fromText(bag.toText());
    ASSERT_TRUE(back);
    XP_ProgressBar copy;
    copy.ReadProperties(*back);
    EXPECT_EQ(copy.Max(), 200);
    EXPECT_EQ(copy.Value(), 100);
    EXPECT_EQ(copy.Percent(), 50);
    EXPECT_EQ(copy.Scrolling(), 8);
    EXPECT_TRUE(copy.ShowText());
    EXPECT_EQ(copy.Color(), 0x00FF00u);
    EXPECT_EQ(copy.Image().convertToFormat(QImage::Format_RGB32), picture);
}

TEST_F(XP_ProgressBarTest, BufferGrowsButNeverShrinks)
{
    bar.DrawProgressBar();
    EXPECT_EQ(bar.bufferSize(), (gfx::Size{60, 17}));
    bar.resize(100, 30);
    bar.DrawProgressBar();
    EXPECT_EQ(bar.bufferSize(), (gfx::Size{100, 30}));
    bar.resize(50, 10);
    bar.DrawProgressBar();
    EXPECT_EQ(bar.bufferSize(), (gfx::Size{100, 30}));
    EXPECT_EQ(bar.clientImage().size(), QSize(50, 10));
    // Wider but lower than the buffer: a new buffer of exactly the asked size.
    EXPECT_TRUE(bar.EnsureBuffer(120, 10));
    EXPECT_EQ(bar.bufferSize(), (gfx::Size{120, 10}));
    XP_ProgressBar none;
    none.resize(0, 17);
    EXPECT_FALSE(none.EnsureBuffer(0, 17));
}

TEST_F(XP_ProgressBarTest, PDrawCopiesThePartOfTheBufferAsked)
{
    bar.setScrolling(progress::Flat);
    bar.setColor(0x0000FF);
    bar.setValue(100);
    gfx::Surface target(70, 20, 0x123456);
    // Width and height below 1 mean the buffer's: the whole 60 x 17 bar at (5, 2).
    bar.pDraw(target, 0, 0, 0, -1, 5, 2);
    EXPECT_EQ(target.pixel(5, 2), progress::LightenColor(0x0000FF, 100));
    EXPECT_EQ(target.pixel(64, 18), progress::LightenColor(0x0000FF, 100));
    EXPECT_EQ(target.pixel(65, 18), 0x123456u);
    EXPECT_EQ(target.pixel(64, 19), 0x123456u);
    gfx::Surface corner(4, 4, 0x123456);
    bar.pDraw(corner, 58, 15, 2, 2, 0, 0);
    EXPECT_EQ(corner.pixel(0, 0), progress::LightenColor(0x0000FF, 180));
    EXPECT_EQ(corner.pixel(1, 1), progress::LightenColor(0x0000FF, 100));
    EXPECT_EQ(corner.pixel(2, 2), 0x123456u);
}

}  // namespace
}  // namespace quarbel
