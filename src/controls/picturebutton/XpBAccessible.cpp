#include "controls/picturebutton/XpBAccessible.h"

#include "controls/common/Accessibility.h"
#include "controls/picturebutton/XpB.h"

#include <QAccessibleWidget>

namespace quarbel {

namespace {

class XpBAccessible : public QAccessibleWidget {
public:
    explicit XpBAccessible(XpB* button) : QAccessibleWidget(button, QAccessible::Button) {}

    XpB* button() const { return static_cast<XpB*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            if (button()->accessibleName().isEmpty())
                return accessibility::plainCaption(button()->Caption());
            break;
        case QAccessible::Accelerator: return accessibility::accessKeyBinding(button()->accessKey());
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
        s.pressed = button()->IsPressed();
        s.hotTracked = button()->IsHovering();
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (button()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& action) override
    {
        // Queued, as a click of the pointer is: the Click handler may run a long job or a
        // modal question, and the assistive technology that asked must get its answer first.
        if (action == pressAction())
            QMetaObject::invokeMethod(button(), &XpB::performClick, Qt::QueuedConnection);
        else
            QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        const QString binding = accessibility::accessKeyBinding(button()->accessKey());
        if (action == pressAction() && !binding.isEmpty())
            return {binding};
        return QAccessibleWidget::keyBindingsForAction(action);
    }
};

QAccessibleInterface* xpbFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(XpB::staticMetaObject.className()))
        if (auto* button = qobject_cast<XpB*>(object))
            return new XpBAccessible(button);
    return nullptr;
}

}  // namespace

void installXpBAccessible()
{
    static const bool installed = (QAccessible::installFactory(xpbFactory), true);
    (void)installed;
}

}  // namespace quarbel
