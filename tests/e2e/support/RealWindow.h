#pragma once
// The real program's main window as a person meets it through the X server: the program
// started as its own process, its controls found by their places in the fixed layout
// (resources/Form3.layout), clicked, typed into and read back with XDriver.

#include "XDriver.h"

#include <QRect>
#include <QString>
#include <optional>
#include <ostream>

namespace quarbel::e2e {

// The control's rectangle in the window's client area (group boxes' offsets added); empty
// when the layout has no such control.
QRect placeOf(const QString& control);

class RealWindow {
public:
    // Starts build/src/app/quarbel; started() tells whether its window showed.
    RealWindow();
    bool started() const { return m_started; }
    XProgram& program() { return m_program; }

    // A point of a control on the screen: its centre, or an offset from its top-left corner.
    QPoint at(const QString& control) const;
    QPoint at(const QString& control, QPoint offset) const;
    void click(const QString& control, Qt::MouseButton button = Qt::LeftButton);
    // Replaces a one-line field's text by typing: clicks it, selects its text, types.
    void typeInto(const QString& control, const QString& text);
    // The text a one-line field shows (see e2e::fieldText).
    QString textOf(const QString& control);

    // Waits for a new window of the program (a dialog, a message box or a menu) and returns
    // it, empty when none appeared in time.
    QString waitForNewWindow();
    // Waits until the window has gone.
    bool waitUntilClosed(const QString& window);
    // Gives a dialog the keyboard, types into it and presses keys (e.g. "Return").
    void answer(const QString& window, const QString& typed, const QString& keys);

    // Clicks a control that opens a dialog (a file dialog or a folder picker), types into
    // the dialog and presses Return. Returns the dialog's title; nothing when no dialog
    // opened or it did not close.
    std::optional<QString> typeIntoDialogOf(const QString& control, const QString& typed);

    // The main window's client area as the X server shows it now.
    QImage screenshot() const;

private:
    XProgram m_program;
    bool m_started = false;
};

}  // namespace quarbel::e2e

// Texts in test messages as texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
