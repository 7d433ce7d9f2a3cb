#include "controls/common/Accessibility.h"

#include <QAccessibleEvent>
#include <QObject>

namespace quarbel::accessibility {

QString plainCaption(const QString& caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != u'&') {
            plain += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == u'&') {
            plain += u'&';  // "&&" shows one "&"
            ++i;
        }
    }
    return plain;
}

QString accessKeyBinding(QChar key)
{
    return key.isNull() ? QString() : QStringLiteral("Alt+") + key.toUpper();
}

void notifyNameChanged(QObject* object)
{
    QAccessibleEvent event(object, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void notifyValueChanged(QObject* object, const QVariant& value)
{
    QAccessibleValueChangeEvent event(object, value);
    QAccessible::updateAccessibility(&event);
}

void StateWatch::update(QObject* object, bool pressed, bool checked, bool hotTracked)
{
    QAccessible::State changed;
    changed.pressed = pressed != m_pressed;
    changed.checked = checked != m_checked;
    changed.hotTracked = hotTracked != m_hotTracked;
    m_pressed = pressed;
    m_checked = checked;
    m_hotTracked = hotTracked;
    if (!changed.pressed && !changed.checked && !changed.hotTracked)
        return;
    QAccessibleStateChangeEvent event(object, changed);
    QAccessible::updateAccessibility(&event);
}

}  // namespace quarbel::accessibility
