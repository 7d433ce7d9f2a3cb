#pragma once
// Helpers for the window's end-to-end tests in a real X server: the application object on
// the real platform plugin, answering real message boxes, running xdotool, writing picture
// files.

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace quarbel::e2e {

// Makes sure the application object exists (xcb platform, the display of the X server).
void ensureApplication();

// What a message box showed when it was answered.
struct SeenMessage {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Answers the next modal message box that opens by clicking the button with the given text
// (as a person would, with the mouse). Every box answered is appended to seen.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(QList<SeenMessage>& seen) : m_seen(seen) {}
    // Answers each box that opens, in order, with the next button text of the script.
    void answer(const QStringList& buttonTexts);

private:
    void poll();
    QList<SeenMessage>& m_seen;
    QStringList m_script;
};

// Runs a program to its end (at most timeoutMs) and returns its standard output, trimmed;
// ok tells whether it exited normally with status 0.
QString run(const QString& program, const QStringList& arguments, bool* ok = nullptr, int timeoutMs = 30000);

// Writes a real picture file (the format from the extension); returns its path.
QString writeImage(const QString& folder, const QString& name, int width, int height,
                   QColor color = QColor(40, 120, 200));

// The folder where tests leave files for a person to look at (the build folder).
QString artifactFolder();

}  // namespace quarbel::e2e
