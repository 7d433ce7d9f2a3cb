#include "app/DigitField.h"

#include "app/Numbers.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace quarbel::app {

namespace {

constexpr QChar kBackspace(8);

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

DigitField::DigitField(Limit limit, QWidget* parent) : QLineEdit(parent), m_limit(limit)
{
    setAcceptDrops(false);
    setContextMenuPolicy(Qt::NoContextMenu);
}

bool DigitField::takesCharacters(const QString& text) const
{
    for (const QChar c : text) {
        if (!isDigit(c) && c != kBackspace)
            return false;
    }
    return m_limit != Limit::Hundred || leadingNumber(this->text()) <= 100;
}

bool DigitField::takes(const QKeyEvent& key) const
{
    // The paste shortcuts carry no character of their own (Shift+Insert none at all).
    if (key.matches(QKeySequence::Paste))
        return false;
    if (key.text().isEmpty() || key.key() == Qt::Key_Delete)
        return true;
    return key.text().size() == 1 && takesCharacters(key.text());
}

void DigitField::keyPressEvent(QKeyEvent* event)
{
    if (takes(*event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();  // dropped, and not passed on to the parent either
}

void DigitField::inputMethodEvent(QInputMethodEvent* event)
{
    if (event->commitString().isEmpty() || takesCharacters(event->commitString())) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    // The composition still ends; its text is dropped.
    QInputMethodEvent withoutText(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&withoutText);
}

void DigitField::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();  // no menu: its Paste and Insert would bypass the filter
}

void DigitField::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        event->accept();  // the X selection is pasted on this release
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

}  // namespace quarbel::app
