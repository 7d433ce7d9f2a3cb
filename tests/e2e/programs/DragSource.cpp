// A stand-in for a file manager in drag-and-drop tests: a small window of its own process
// that starts a real drag when the pointer is pressed in it and moved. What it drags is given
// on the command line: files (as their URL list) and, with --text, a plain text.
//
//   quarbel-e2e-drag-source [--at X,Y] [--text TEXT] [FILE...]
//
// The window is placed at X,Y (there is no window manager to place it). While dragging it
// prints "over ACTION" each time the target under the pointer changes its answer, and at the
// end "dropped ACTION" (ACTION is "copy", "move", "link" or "none"). It then keeps running,
// so that the target can still read the dragged data, until it is ended.

#include <QApplication>
#include <QCommandLineParser>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class DragSource : public QWidget {
public:
    DragSource(QList<QUrl> urls, QString text) : m_urls(std::move(urls)), m_text(std::move(text))
    {
        setWindowTitle(QStringLiteral("drag source"));
        setFixedSize(120, 80);
        setAutoFillBackground(true);
        setPalette(QPalette(QColor(250, 200, 40)));
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { m_pressedAt = event->position().toPoint(); }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!(event->buttons() & Qt::LeftButton) || m_dragged ||
            (event->position().toPoint() - m_pressedAt).manhattanLength() < QApplication::startDragDistance())
            return;
        m_dragged = true;
        auto* data = new QMimeData;
        if (!m_urls.isEmpty())
            data->setUrls(m_urls);
        if (!m_text.isNull())
            data->setText(m_text);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        connect(drag, &QDrag::actionChanged, this, [](Qt::DropAction action) { say("over", action); });
        say("dropped", drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction));
    }

private:
    static void say(const char* what, Qt::DropAction action)
    {
        const char* name = action == Qt::CopyAction   ? "copy"
                           : action == Qt::MoveAction ? "move"
                           : action == Qt::LinkAction ? "link"
                                                      : "none";
        std::printf("%s %s\n", what, name);
        std::fflush(stdout);
    }

    QList<QUrl> m_urls;
    QString m_text;
    QPoint m_pressedAt;
    bool m_dragged = false;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("at"), QStringLiteral("Window position."), QStringLiteral("X,Y")});
    parser.addOption({QStringLiteral("text"), QStringLiteral("Plain text to drag."), QStringLiteral("TEXT")});
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Files to drag."),
                                 QStringLiteral("[FILE...]"));
    parser.process(app);

    QList<QUrl> urls;
    for (const QString& file : parser.positionalArguments())
        urls.append(QUrl::fromLocalFile(file));
    DragSource window(
        urls, parser.isSet(QStringLiteral("text")) ? parser.value(QStringLiteral("text")) : QString());
    const QStringList at = parser.value(QStringLiteral("at")).split(u',');
    if (at.size() == 2)
        window.move(at[0].toInt(), at[1].toInt());
    window.show();
    return app.exec();
}
