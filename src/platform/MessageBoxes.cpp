#include "platform/MessageBoxes.h"

#include <QMessageBox>

namespace quarbel::platform {

namespace {

QMessageBox::Icon toQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Information: break;
    }
    return QMessageBox::Information;
}

}  // namespace

MessageAnswer QtMessageBoxes::show(QWidget* parent, const QString& text, const QString& title,
                                   MessageIcon icon, MessageButtons buttons)
{
    QMessageBox box(toQt(icon), title, text, QMessageBox::NoButton, parent);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return result == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

}  // namespace quarbel::platform
