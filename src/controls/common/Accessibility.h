#pragma once
// What the owned controls share for assistive technology: the caption as a screen reader
// reads it, an access key as the key binding it reports, and the events that tell it that a
// control's name, value or state changed. Qt itself reports enabled, focus and visibility
// changes; the states below live in the controls' own models.

#include <QAccessible>
#include <QString>
#include <QVariant>

class QObject;

namespace quarbel::accessibility {

// The caption without its access-key markers: "&Help" reads "Help", "Save && Quit" reads
// "Save & Quit".
QString plainCaption(const QString& caption);

// The key binding reported for an access key: "Alt+H" for h; empty for none.
QString accessKeyBinding(QChar key);

// Tell whoever listens that the object's name or value changed (nothing when none does).
void notifyNameChanged(QObject* object);
void notifyValueChanged(QObject* object, const QVariant& value);

// The pressed, checked and hot-tracked states of a control's model as last reported:
// update() sends one state-change event with the states that changed since its last call.
class StateWatch {
public:
    void update(QObject* object, bool pressed, bool checked, bool hotTracked);

private:
    bool m_pressed = false;
    bool m_checked = false;
    bool m_hotTracked = false;
};

}  // namespace quarbel::accessibility
