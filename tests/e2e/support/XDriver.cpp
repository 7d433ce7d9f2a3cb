#include "XDriver.h"

#include "WindowE2E.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QRegularExpression>
#include <QThread>
#include <QUuid>

namespace quarbel::e2e {

namespace {

QString xdotool(const QStringList& arguments, bool* ok = nullptr)
{
    return run(QStringLiteral("xdotool"), arguments, ok);
}

QString buttonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::MiddleButton: return QStringLiteral("2");
    case Qt::RightButton: return QStringLiteral("3");
    default: return QStringLiteral("1");
    }
}

QStringList visibleWindowsOf(qint64 pid)
{
    const QString ids = xdotool({"search", "--onlyvisible", "--pid", QString::number(pid)});
    QStringList windows = ids.split(u'\n', Qt::SkipEmptyParts);
    for (QString& w : windows)
        w = w.trimmed();
    return windows;
}

QString selectionName(Selection selection)
{
    return selection == Selection::Primary ? QStringLiteral("primary") : QStringLiteral("clipboard");
}

QImage readPng(const QStringList& importArguments)
{
    QProcess import;
    import.start(QStringLiteral("import"), importArguments);
    if (!import.waitForFinished(30000) || import.exitCode() != 0)
        return {};
    return QImage::fromData(import.readAllStandardOutput(), "PNG");
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}

XProgram::~XProgram()
{
    if (isRunning()) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

bool XProgram::start(const QString& buildRelativePath, const QStringList& arguments,
                     const QStringList& environment)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the real X server, never offscreen
    env.insert(QStringLiteral("QUARBEL_INSTANCE_KEY"),
               QStringLiteral("quarbel-e2e-") + QUuid::createUuid().toString(QUuid::WithoutBraces));
    for (const QString& entry : environment) {
        const qsizetype eq = entry.indexOf(u'=');
        if (eq > 0)
            env.insert(entry.left(eq), entry.mid(eq + 1));
    }
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(m_captureErrors ? QProcess::SeparateChannels
                                                    : QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(QUARBEL_BINARY_DIR "/") + buildRelativePath, arguments);
    if (!m_process.waitForStarted(30000))
        return false;
    bool ok = false;
    const QString ids =
        xdotool({"search", "--sync", "--onlyvisible", "--pid", QString::number(m_process.processId())}, &ok);
    if (!ok)
        return false;
    m_window = ids.split(u'\n', Qt::SkipEmptyParts).value(0).trimmed();
    // Mapped is not yet drawn: wait until the window has its size and has been exposed.
    return !m_window.isEmpty() && waitUntil([&] { return windowGeometry(m_window).isValid(); });
}

QString XProgram::errorOutput()
{
    m_errors += m_process.readAllStandardError();
    return QString::fromLocal8Bit(m_errors);
}

bool XProgram::waitForExit(int timeoutMs) { return m_process.waitForFinished(timeoutMs); }

QStringList XProgram::windows() const { return visibleWindowsOf(m_process.processId()); }

QString XProgram::waitForNewWindow(const QStringList& known, int timeoutMs) const
{
    QString found;
    waitUntil(
        [&] {
            for (const QString& w : windows()) {
                if (!known.contains(w) && w != m_window) {
                    found = w;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

QPoint XProgram::toScreen(QPoint clientPoint) const
{
    return windowGeometry(m_window).topLeft() + clientPoint;
}

QString windowName(const QString& window) { return xdotool({"getwindowname", window}); }

QRect windowGeometry(const QString& window)
{
    const QString text = xdotool({"getwindowgeometry", "--shell", window});
    QRect r;
    int found = 0;
    for (const QString& line : text.split(u'\n')) {
        const QString name = line.section(u'=', 0, 0);
        const int value = line.section(u'=', 1).toInt();
        if (name == u"X") {
            r.moveLeft(value);
            ++found;
        } else if (name == u"Y") {
            r.moveTop(value);
            ++found;
        } else if (name == u"WIDTH") {
            r.setWidth(value);
            ++found;
        } else if (name == u"HEIGHT") {
            r.setHeight(value);
            ++found;
        }
    }
    return found == 4 ? r : QRect();
}

void focusWindow(const QString& window) { xdotool({"windowfocus", "--sync", window}); }

bool resizeWindow(const QString& window, QSize size)
{
    xdotool({"windowsize", "--sync", window, QString::number(size.width()), QString::number(size.height())});
    return waitUntil([&] { return windowGeometry(window).size() == size; });
}

QPoint pointer()
{
    QPoint at;
    for (const QString& line : xdotool({"getmouselocation", "--shell"}).split(u'\n')) {
        if (line.startsWith(u"X="))
            at.setX(line.mid(2).toInt());
        else if (line.startsWith(u"Y="))
            at.setY(line.mid(2).toInt());
    }
    return at;
}

void moveTo(QPoint screen)
{
    // --sync waits for the pointer to move, which it never does when it is there already.
    if (pointer() == screen)
        return;
    xdotool({"mousemove", "--sync", QString::number(screen.x()), QString::number(screen.y())});
}

void click(QPoint screen, Qt::MouseButton button)
{
    moveTo(screen);
    xdotool({"click", buttonNumber(button)});
}

void doubleClick(QPoint screen)
{
    moveTo(screen);
    xdotool({"click", "--repeat", "2", "--delay", "60", "1"});
}

void pressButton(Qt::MouseButton button) { xdotool({"mousedown", buttonNumber(button)}); }

void releaseButton(Qt::MouseButton button) { xdotool({"mouseup", buttonNumber(button)}); }

void drag(QPoint from, QPoint to, Qt::MouseButton button, const std::function<bool()>& readyToDrop)
{
    moveTo(from);
    pressButton(button);
    constexpr int steps = 12;
    for (int i = 1; i <= steps; ++i)
        moveTo(from + (to - from) * i / steps);
    // A drop released before the target has answered the last position is lost: hover, as a
    // person does, until the source says the target is ready.
    if (readyToDrop) {
        const QPoint nudge(1, 0);
        waitUntil(
            [&] {
                moveTo(to + nudge);
                moveTo(to);
                return readyToDrop();
            },
            10000);
    }
    releaseButton(button);
}

void wheel(QPoint screen, int notches)
{
    moveTo(screen);
    const QString button = notches > 0 ? QStringLiteral("5") : QStringLiteral("4");
    for (int i = 0; i < std::abs(notches); ++i)
        xdotool({"click", button});
}

void key(const QString& keys) { xdotool({"key", "--delay", "30", keys}); }

void type(const QString& text) { xdotool({"type", "--delay", "30", text}); }

QImage screenshot() { return readPng({"-window", "root", "png:-"}); }

QImage screenshot(const QRect& screenArea)
{
    const QImage whole = screenshot();
    return whole.isNull() ? whole : whole.copy(screenArea);
}

QString saveArtifact(const QImage& image, const QString& name)
{
    const QString path = QDir(artifactFolder()).filePath(name);
    return image.save(path) ? path : QString();
}

ClipboardOwner::ClipboardOwner(const QByteArray& data, const QString& mimeType, Selection selection)
    : m_xclip(std::make_unique<QProcess>())
{
    // -quiet keeps xclip in the foreground, holding the selection until it is killed or
    // another program takes the selection.
    m_xclip->start(QStringLiteral("xclip"),
                   {"-quiet", "-selection", selectionName(selection), "-t", mimeType, "-i"});
    if (!m_xclip->waitForStarted(10000))
        return;
    m_xclip->write(data);
    m_xclip->closeWriteChannel();
    // Held once another process reads it back under that type (and not what the previous
    // owner held).
    const QString expected = QString::fromUtf8(data).trimmed();
    waitUntil([&] {
        bool ok = false;
        const QString held = run(QStringLiteral("xclip"),
                                 {"-selection", selectionName(selection), "-t", mimeType, "-o"}, &ok, 5000);
        return ok && held == expected;
    });
}

ClipboardOwner::~ClipboardOwner()
{
    if (m_xclip->state() != QProcess::NotRunning) {
        m_xclip->kill();
        m_xclip->waitForFinished(5000);
    }
}

bool ClipboardOwner::isHolding() const { return m_xclip->state() == QProcess::Running; }

QString clipboardText(const QString& mimeType, Selection selection)
{
    return run(QStringLiteral("xclip"), {"-selection", selectionName(selection), "-t", mimeType, "-o"});
}

QString fieldText(QPoint screen)
{
    // A placeholder first: the field has selected its text once the selection reads
    // otherwise.
    const QString placeholder = QStringLiteral("\x01");
    const ClipboardOwner owner(placeholder.toUtf8(), QStringLiteral("UTF8_STRING"), Selection::Primary);
    click(screen);
    key(QStringLiteral("Home"));
    key(QStringLiteral("shift+End"));
    QString text;
    const bool taken = waitUntil(
        [&] {
            text = clipboardText(QStringLiteral("UTF8_STRING"), Selection::Primary);
            return text != placeholder;
        },
        3000);
    return taken ? text : QString();
}

}  // namespace quarbel::e2e
