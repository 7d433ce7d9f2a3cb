// The window's push buttons: which mouse and key input clicks them, and the properties the
// layout's property bags give them.

#include "WindowTestSupport.h"

#include "controls/common/PropertyBag.h"
#include "controls/picturebutton/XpB.h"
#include "controls/themedbutton/ThemedButton.h"

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTest>
#include <type_traits>

using namespace quarbel;

namespace {

template <typename Button>
class PushButtons : public ::testing::Test {
protected:
    PushButtons()
    {
        window.resize(200, 100);
        button = new Button(&window);
        button->setGeometry(10, 10, 80, 25);
        button->setCaption(QStringLiteral("Go"));
        window.show();
        button->setFocus();
    }
    QWidget window;
    Button* button = nullptr;
};

using ButtonTypes = ::testing::Types<ThemedButton, XpB>;
TYPED_TEST_SUITE(PushButtons, ButtonTypes);

}  // namespace

TYPED_TEST(PushButtons, ClickOnlyForALeftReleaseInsideOrAKey)
{
    auto* b = this->button;
    QSignalSpy clicks(b, &TypeParam::Click);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_EQ(clicks.size(), 1);

    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(40, 12));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(150, 60));  // released outside
    EXPECT_EQ(clicks.size(), 1);

    QTest::mouseClick(b, Qt::RightButton, {}, QPoint(40, 12));
    EXPECT_EQ(clicks.size(), 1);

    QTest::keyClick(b, Qt::Key_Space);
    EXPECT_EQ(clicks.size(), 2);
    // Enter does not click: both buttons answer Space only.
    const int afterReturn = 2;
    QTest::keyClick(b, Qt::Key_Return);
    EXPECT_EQ(clicks.size(), afterReturn);
    QTest::keyClick(b, Qt::Key_A);
    EXPECT_EQ(clicks.size(), afterReturn);

    b->setEnabled(false);
    EXPECT_FALSE(b->Enabled());
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(40, 12));
    QTest::keyClick(b, Qt::Key_Space);
    EXPECT_EQ(clicks.size(), afterReturn);
}

TYPED_TEST(PushButtons, CaptionAndVisibility)
{
    auto* b = this->button;
    b->setCaption(QStringLiteral("Resize"));
    EXPECT_EQ(b->Caption(), QStringLiteral("Resize"));
    EXPECT_TRUE(b->Visible());
    b->hide();
    EXPECT_FALSE(b->Visible());
}

TEST(ThemedButtonProperties, ReadFromTheBagWithTheirDefaults)
{
    ThemedButton button;
    PropertyBag bag;
    bag.set("style", 5);  // keys are matched without regard to case
    bag.set("Caption", "Source");
    bag.set("ToolTipText", "Add files");
    button.ReadProperties(bag);
    EXPECT_EQ(button.Style(), 5);
    EXPECT_EQ(button.Caption(), QStringLiteral("Source"));
    EXPECT_EQ(button.ToolTipText(), QStringLiteral("Add files"));
    EXPECT_TRUE(button.Enabled());

    ThemedButton plain;
    plain.ReadProperties(PropertyBag());
    EXPECT_EQ(plain.Style(), 3);
    EXPECT_EQ(plain.Caption(), QStringLiteral("ThemedButton"));
    EXPECT_EQ(plain.ToolTipType(), 1);
}

TEST(ThemedButtonProperties, StateFollowsEnablingAndPressing)
{
    QWidget window;
    auto* button = new ThemedButton(&window);
    button->setGeometry(0, 0, 80, 25);
    window.show();
    EXPECT_EQ(button->state(), ThemedButton::ButtonState::Normal);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(button->state(), ThemedButton::ButtonState::Pressed);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    button->setEnabled(false);
    EXPECT_EQ(button->state(), ThemedButton::ButtonState::Disabled);
}

TEST(XpBProperties, ReadFromTheBag)
{
    XpB button;
    PropertyBag bag;
    bag.set("Caption", "Help");
    bag.set("ButtonStyle", 3);
    bag.set("Enabled", false);
    bag.set("PicturePosition", 0);
    button.ReadProperties(bag);
    EXPECT_EQ(button.Caption(), QStringLiteral("Help"));
    EXPECT_EQ(button.ButtonStyle(), 3);
    EXPECT_FALSE(button.Enabled());
    EXPECT_EQ(button.PicturePosition(), 0);
    EXPECT_EQ(QSize(button.PictureWidth(), button.PictureHeight()), QSize(32, 32));
    EXPECT_TRUE(button.ShowFocusRect());
}
