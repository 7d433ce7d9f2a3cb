// What assistive technology reads from a picture button through QAccessible, and what its
// press action does.

#include "TestApp.h"
#include "controls/picturebutton/ButtonSound.h"
#include "controls/picturebutton/XpB.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

namespace quarbel {
namespace {

TEST(XpBAccessible, ReadAndPressedAsAScreenReaderDoes)
{
    testing::ensureApplication();
    const struct {
        const char* caption;
        const char* toolTip;
        bool enabled;
        const char* name;
        const char* keyBinding;
    } cases[] = {
        {"&Help", "Online Help", true, "Help", "Alt+H"},
        {"Save && Quit", "", true, "Save & Quit", ""},
        {"A && B &Keep", "", false, "A & B Keep", "Alt+K"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        QWidget window;
        auto* button = new XpB(&window);
        button->setGeometry(0, 0, 80, 25);
        button->setCaption(QString::fromUtf8(c.caption));
        button->setToolTip(QString::fromUtf8(c.toolTip));
        button->setSoundClick(QStringLiteral(QUARBEL_SOURCE_DIR "/resources/click.wav"));
        button->setEnabled(c.enabled);
        window.show();

        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(button);
        ASSERT_TRUE(iface);
        EXPECT_EQ(iface->role(), QAccessible::Button);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(c.name));
        EXPECT_EQ(iface->text(QAccessible::Description), QString::fromUtf8(c.toolTip));
        EXPECT_EQ(bool(iface->state().disabled), !c.enabled);
        EXPECT_TRUE(iface->state().focusable);

        QAccessibleActionInterface* actions = iface->actionInterface();
        ASSERT_TRUE(actions);
        EXPECT_EQ(actions->actionNames().contains(QAccessibleActionInterface::pressAction()), c.enabled);
        EXPECT_EQ(actions->keyBindingsForAction(QAccessibleActionInterface::pressAction()).join(u' '),
                  QString::fromUtf8(c.keyBinding));

        // The press action is a left click: one Click, after the caller has its answer.
        QSignalSpy clicks(button, &XpB::Click);
        QSignalSpy downs(button, &XpB::MouseDown);
        actions->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_EQ(clicks.count(), 0);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(clicks.count(), c.enabled ? 1 : 0);
        EXPECT_EQ(downs.count(), c.enabled ? 1 : 0);
        EXPECT_FALSE(button->IsPressed());
    }
    // The click's sound came through the same path as the mouse's.
    EXPECT_NE(picturebutton::soundStatus(QStringLiteral(QUARBEL_SOURCE_DIR "/resources/click.wav")),
              QSoundEffect::Null);
}

TEST(XpBAccessible, FollowsTheModel)
{
    testing::ensureApplication();
    QWidget window;
    auto* button = new XpB(&window);
    button->setGeometry(0, 0, 80, 25);
    window.show();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(button);
    ASSERT_TRUE(iface);

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(iface->state().pressed);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(iface->state().pressed);
    button->setCaption(QStringLiteral("&Go"));
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Go"));
    // A name given by the window wins over the caption.
    button->setAccessibleName(QStringLiteral("Start"));
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Start"));
}

}  // namespace
}  // namespace quarbel
