// What assistive technology reads from a themed button through QAccessible, and what its
// press action does to the button's model.

#include "TestApp.h"
#include "controls/themedbutton/ThemedButton.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QSignalSpy>

namespace quarbel {
namespace {

TEST(ThemedButtonAccessible, ReadAndPressedAsAScreenReaderDoes)
{
    testing::ensureWidgetsWithClassicColors();
    const struct {
        const char* caption;
        int buttonType;
        bool value, enabled;
        QAccessible::Role role;
        const char *name, *keyBinding;
        int clicks;       // Click raised by one press action
        bool valueAfter;  // Value after it
    } cases[] = {
        {"&Convert", 0, false, true, QAccessible::Button, "Convert", "Alt+C", 1, false},
        {"Cancel", 0, false, false, QAccessible::Button, "Cancel", "", 0, false},
        {"Rock && &Roll", 0, false, true, QAccessible::Button, "Rock & Roll", "Alt+R", 1, false},
        // A toggle is switched on without a Click and switched off with one, as by the mouse.
        {"&Bold", 1, false, true, QAccessible::CheckBox, "Bold", "Alt+B", 0, true},
        {"&Bold", 1, true, true, QAccessible::CheckBox, "Bold", "Alt+B", 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption + std::string(c.value ? " on" : ""));
        QWidget window;
        window.resize(300, 200);
        auto* button = new ThemedButton(&window);
        button->setGeometry(150, 100, 81, 25);  // away from where the pointer may rest
        button->setStyle(5);
        button->setCaption(QString::fromUtf8(c.caption));
        button->setToolTipText(QStringLiteral("Tip"));
        button->setButtonType(c.buttonType);
        button->setValue(c.value);
        button->setEnabled(c.enabled);
        window.show();

        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(button);
        ASSERT_TRUE(iface && iface->actionInterface());
        EXPECT_EQ(iface->role(), c.role);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(c.name));
        EXPECT_EQ(iface->text(QAccessible::Description), QStringLiteral("Tip"));
        EXPECT_EQ(bool(iface->state().disabled), !c.enabled);
        EXPECT_EQ(bool(iface->state().checkable), c.buttonType == 1);
        EXPECT_EQ(bool(iface->state().checked), c.buttonType == 1 && c.value);
        EXPECT_FALSE(iface->state().pressed);

        QAccessibleActionInterface* actions = iface->actionInterface();
        const QString press = QAccessibleActionInterface::pressAction();
        EXPECT_EQ(actions->actionNames().contains(press), c.enabled);
        EXPECT_EQ(actions->keyBindingsForAction(press).join(u' '), QString::fromUtf8(c.keyBinding));

        QSignalSpy clicks(button, &ThemedButton::Click);
        actions->doAction(press);
        EXPECT_EQ(clicks.count(), 0);  // the caller gets its answer first
        QCoreApplication::processEvents();
        EXPECT_EQ(clicks.count(), c.clicks);
        EXPECT_EQ(button->Value(), c.valueAfter);
        EXPECT_EQ(bool(iface->state().checked), c.buttonType == 1 && c.valueAfter);
        // No pointer came: the button rests Normal (a switched-on toggle shows Pressed).
        const auto resting = !c.enabled     ? ThemedButton::ButtonState::Disabled
                             : c.valueAfter ? ThemedButton::ButtonState::Pressed
                                            : ThemedButton::ButtonState::Normal;
        EXPECT_EQ(button->state(), resting);
        EXPECT_FALSE(button->MouseInside());
    }
}

}  // namespace
}  // namespace quarbel
