#include "controls/themedbutton/ThemedButtonAccessible.h"

#include "controls/common/Accessibility.h"
#include "controls/themedbutton/ThemedButton.h"

#include <QAccessibleWidget>
#include <QKeySequence>

namespace quarbel {

namespace {

class ThemedButtonAccessible : public QAccessibleWidget {
public:
    explicit ThemedButtonAccessible(ThemedButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    ThemedButton* button() const { return static_cast<ThemedButton*>(widget()); }
    bool isToggle() const { return button()->ButtonType() == 1; }
    QString keyBinding() const
    {
        return QKeySequence::mnemonic(button()->Caption()).toString(QKeySequence::NativeText);
    }

    QAccessible::Role role() const override
    {
        return isToggle() ? QAccessible::CheckBox : QAccessible::Button;
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            if (button()->accessibleName().isEmpty())
                return accessibility::plainCaption(button()->Caption());
            break;
        case QAccessible::Description:
            // While the pointer is over the button its own tooltip holds the text.
            if (button()->accessibleDescription().isEmpty() && !button()->ToolTipText().isEmpty())
                return button()->ToolTipText();
            break;
        case QAccessible::Accelerator: return keyBinding();
        default: break;
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        // The focus as the button draws it (the same as Qt's, unless a focus event was sent
        // to show the look, as the gallery does).
        s.focused = s.focused || button()->HasFocus();
        s.checkable = isToggle();
        s.checked = button()->isChecked();
        s.pressed = button()->isPressedDown();
        s.hotTracked = button()->MouseInside();
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (button()->isEnabled()) {
            if (isToggle())
                names.prepend(toggleAction());
            names.prepend(pressAction());
        }
        return names;
    }

    void doAction(const QString& action) override
    {
        // Queued, as a click of the pointer is: the Click handler may run a long job or a
        // modal question, and the assistive technology that asked must get its answer first.
        if (action == pressAction() || action == toggleAction())
            QMetaObject::invokeMethod(button(), &ThemedButton::performClick, Qt::QueuedConnection);
        else
            QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if ((action == pressAction() || action == toggleAction()) && !keyBinding().isEmpty())
            return {keyBinding()};
        return QAccessibleWidget::keyBindingsForAction(action);
    }
};

QAccessibleInterface* themedButtonFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(ThemedButton::staticMetaObject.className()))
        if (auto* button = qobject_cast<ThemedButton*>(object))
            return new ThemedButtonAccessible(button);
    return nullptr;
}

}  // namespace

void installThemedButtonAccessible()
{
    static const bool installed = (QAccessible::installFactory(themedButtonFactory), true);
    (void)installed;
}

}  // namespace quarbel
