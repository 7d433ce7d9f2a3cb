#pragma once
// Driving a real program of ours in the X server as a person does: it runs as its own
// process, the pointer and the keyboard go through the server (xdotool's XTEST input), the
// clipboard is owned by another process (xclip), and what the person sees is a screenshot
// taken from the server (ImageMagick's import). Nothing here reaches into the program.

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace quarbel::e2e {

// Polls the condition (letting this process's events run in between) until it holds or the
// time is up; returns whether it held.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 15000);

// A built program of ours, started in the X server with an instance key of its own (so it
// never meets another running copy). Ends with the test: killed if it is still running.
class XProgram {
public:
    XProgram() = default;
    ~XProgram();
    XProgram(const XProgram&) = delete;
    XProgram& operator=(const XProgram&) = delete;

    // Starts the program (a path under the build folder, e.g. "src/app/quarbel") and waits
    // until its first window is visible. Extra variables go into its environment.
    bool start(const QString& buildRelativePath, const QStringList& arguments = {},
               const QStringList& environment = {});
    QProcess& process() { return m_process; }
    // Called before start: the program's standard error is kept for errorOutput() instead of
    // going to this process's.
    void captureErrorOutput() { m_captureErrors = true; }
    // What the program wrote to standard error so far (with captureErrorOutput()).
    QString errorOutput();
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    // Waits for the process to end by itself; false when it did not within the time.
    bool waitForExit(int timeoutMs = 30000);

    // The first window it showed (its main window), as an X window id.
    QString window() const { return m_window; }
    // Its visible windows now, dialogs and menus included, oldest first.
    QStringList windows() const;
    // Waits until a visible window other than the known ones appears and returns it
    // (empty when none did): a dialog, a message box, a menu or a tooltip.
    QString waitForNewWindow(const QStringList& known, int timeoutMs = 15000) const;

    // Where a point of the main window's client area is on the screen.
    QPoint toScreen(QPoint clientPoint) const;
    QPoint toScreen(const QRect& clientRect) const { return toScreen(clientRect.center()); }

private:
    QProcess m_process;
    QString m_window;
    bool m_captureErrors = false;
    QByteArray m_errors;
};

// A window's title and its client area on the screen.
QString windowName(const QString& window);
QRect windowGeometry(const QString& window);
// Gives the window the keyboard focus (there is no window manager to do it on a click).
void focusWindow(const QString& window);
// Resizes the window as a person dragging its border would; waits until it has the size.
bool resizeWindow(const QString& window, QSize size);

// Pointer and keys, through the X server.
QPoint pointer();
void moveTo(QPoint screen);
void click(QPoint screen, Qt::MouseButton button = Qt::LeftButton);
void doubleClick(QPoint screen);
// Presses at from, moves there in small steps, hovers at to until readyToDrop holds (when
// given; bounded), releases there.
void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton,
          const std::function<bool()>& readyToDrop = {});
void pressButton(Qt::MouseButton button);
void releaseButton(Qt::MouseButton button);
// Turns the wheel at the point: positive notches scroll down, negative up.
void wheel(QPoint screen, int notches);
// Key names as xdotool spells them, e.g. "Tab", "ctrl+v", "shift+Insert", "Page_Down".
void key(const QString& keys);
// Types the text character by character, as the keyboard would.
void type(const QString& text);

// The whole screen, or a part of it, as the X server shows it.
QImage screenshot();
QImage screenshot(const QRect& screenArea);
// Saves a picture for a person to look at into the build folder's e2e-artifacts; returns
// its path.
QString saveArtifact(const QImage& image, const QString& name);

// The two X selections a person pastes from: the clipboard (Ctrl+C, Ctrl+V) and the
// primary selection (whatever was selected last; pasted with the middle button).
enum class Selection { Clipboard, Primary };

// The clipboard held by another process (xclip), with the data under one MIME type, as a
// file manager holds copied files. The other process gives it up when the object ends.
class ClipboardOwner {
public:
    ClipboardOwner(const QByteArray& data, const QString& mimeType,
                   Selection selection = Selection::Clipboard);
    ~ClipboardOwner();
    ClipboardOwner(const ClipboardOwner&) = delete;
    ClipboardOwner& operator=(const ClipboardOwner&) = delete;
    bool isHolding() const;

private:
    std::unique_ptr<QProcess> m_xclip;
};

// The clipboard's text as another process reads it (empty when nobody holds it).
QString clipboardText(const QString& mimeType = QStringLiteral("UTF8_STRING"),
                      Selection selection = Selection::Clipboard);

// The text of a one-line field, as a person would copy it out: clicks into it, selects the
// whole text with Home and Shift+End and reads the primary selection the field then owns.
// Empty when the field has no text (or never took the selection).
QString fieldText(QPoint screen);

}  // namespace quarbel::e2e
