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
    const QString click = QStringLiteral(QUARBEL_SOURCE_DIR "/resources/click.wav");
    const struct {
        const char *caption, *toolTip;
        bool enabled;
        const char *name, *keyBinding;
    } cases[] = {{"&Help", "Online Help", true, "Help", "Alt+H"},
                 {"Save && Quit", "", true, "Save & Quit", ""},
                 {"A && B &Keep", "", false, "A & B Keep", "Alt+K"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        QWidget window;
        auto* button = new XpB(&window);
        button->setGeometry(0, 0, 80, 25);
        button->setCaption(QString::fromUtf8(c.caption));
        button->setToolTip(QString::fromUtf8(c.toolTip));
        button->setSoundClick(click);
        button->setEnabled(c.enabled);
        window.show();
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(button);
        ASSERT_TRUE(iface && iface->actionInterface());
        EXPECT_EQ(iface->role(), QAccessible::Button);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(c.name));
        EXPECT_EQ(iface->text(QAccessible::Description), QString::fromUtf8(c.toolTip));
        EXPECT_EQ(bool(iface->state().disabled), !c.enabled);
        const QString press = QAccessibleActionInterface::pressAction();
        EXPECT_EQ(iface->actionInterface()->actionNames().contains(press), c.enabled);
        EXPECT_EQ(iface->actionInterface()->keyBindingsForAction(press).join(u' '), c.keyBinding);

        // A left click at the centre, once, after the caller has had its answer.
        QSignalSpy clicks(button, &XpB::Click), downs(button, &XpB::MouseDown);
        iface->actionInterface()->doAction(press);
        EXPECT_EQ(clicks.count(), 0);
        QCoreApplication::processEvents();
        EXPECT_EQ(clicks.count(), c.enabled ? 1 : 0);
        EXPECT_EQ(downs.count(), c.enabled ? 1 : 0);

        // The mouse's press shows as the pressed state; a name given by the window wins.
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_EQ(bool(iface->state().pressed), c.enabled);
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_FALSE(iface->state().pressed);
        button->setAccessibleName(QStringLiteral("Start"));
        EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Start"));
    }
    // The click sound came the mouse's way.
    EXPECT_NE(picturebutton::soundStatus(click), QSoundEffect::Null);
}

}  // namespace
}  // namespace quarbel
