#include "gallery/AccessibleSummary.h"

#include <QAccessible>
#include <QEvent>
#include <QLabel>
#include <QPointer>

namespace quarbel::gallery {

namespace {

QString roleName(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button: return QStringLiteral("push button");
    case QAccessible::CheckBox: return QStringLiteral("check box");
    case QAccessible::ProgressBar: return QStringLiteral("progress bar");
    case QAccessible::Client: return QStringLiteral("filler");
    default: return QStringLiteral("role %1").arg(int(role));
    }
}

QStringList stateNames(const QAccessible::State& s)
{
    QStringList names;
    const std::pair<bool, const char*> states[] = {
        {bool(s.disabled), "unavailable"},  {bool(s.focusable), "focusable"}, {bool(s.focused), "focused"},
        {bool(s.pressed), "pressed"},       {bool(s.checkable), "checkable"}, {bool(s.checked), "checked"},
        {bool(s.hotTracked), "hot-tracked"}};
    for (const auto& [on, name] : states)
        if (on)
            names << QString::fromLatin1(name);
    return names;
}

// Refreshes the label whenever the widget paints: every change of its state repaints it.
class SummaryFollower : public QObject {
public:
    SummaryFollower(QWidget* widget, QLabel* label) : QObject(label), m_label(label)
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_label) {
            const QString text = accessibleSummary(static_cast<QWidget*>(watched));
            if (m_label->text() != text)
                m_label->setText(text);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QLabel> m_label;
};

}  // namespace

QString accessibleSummary(QWidget* widget)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    if (!iface)
        return QStringLiteral("(not accessible)");
    QString text = roleName(iface->role());
    const QString name = iface->text(QAccessible::Name);
    if (!name.isEmpty())
        text += QStringLiteral(" \"%1\"").arg(name);
    QStringList details = stateNames(iface->state());
    if (QAccessibleValueInterface* value = iface->valueInterface())
        details << QStringLiteral("value %1 of %2..%3")
                       .arg(value->currentValue().toString(), value->minimumValue().toString(),
                            value->maximumValue().toString());
    if (QAccessibleActionInterface* actions = iface->actionInterface()) {
        const QStringList keys = actions->keyBindingsForAction(QAccessibleActionInterface::pressAction());
        if (!keys.isEmpty())
            details << QStringLiteral("shortcut ") + keys.join(u' ');
    }
    if (!details.isEmpty())
        text += QStringLiteral(": ") + details.join(QStringLiteral(", "));
    return text;
}

QLabel* accessibleSummaryLabel(QWidget* widget, QWidget* parent)
{
    auto* label = new QLabel(accessibleSummary(widget), parent);
    label->setObjectName(QStringLiteral("accessibleSummary"));
    QFont small = label->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    label->setFont(small);
    new SummaryFollower(widget, label);
    return label;
}

}  // namespace quarbel::gallery
