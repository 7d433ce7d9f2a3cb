#pragma once
// Message boxes: a text, a title, an icon and a set of buttons; the answer is the button the
// user pressed. The window asks through this interface so that tests can answer instead.

#include <QString>

class QWidget;

namespace quarbel::platform {

enum class MessageIcon { Information, Exclamation, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer show(QWidget* parent, const QString& text, const QString& title, MessageIcon icon,
                               MessageButtons buttons) = 0;
};

// A modal QMessageBox. Closing a Yes/No box without choosing answers No.
class QtMessageBoxes : public MessageBoxes {
public:
    MessageAnswer show(QWidget* parent, const QString& text, const QString& title, MessageIcon icon,
                       MessageButtons buttons) override;
};

}  // namespace quarbel::platform
