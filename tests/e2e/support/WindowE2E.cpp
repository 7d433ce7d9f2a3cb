#include "WindowE2E.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <QTimer>

namespace quarbel::e2e {

namespace {
int g_argc = 1;
char g_name[] = "quarbel-e2e";
char* g_argv[] = {g_name, nullptr};
}  // namespace

void ensureApplication()
{
    if (QApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "xcb");
    new QApplication(g_argc, g_argv);
}

void MessageBoxAnswerer::answer(const QStringList& buttonTexts)
{
    m_script += buttonTexts;
    QTimer::singleShot(0, [this] { poll(); });
}

void MessageBoxAnswerer::poll()
{
    if (m_script.isEmpty())
        return;
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) {
        // Not open yet: look again once more events have run.
        QTimer::singleShot(10, [this] { poll(); });
        return;
    }
    SeenMessage seen{box->text(), box->windowTitle(), box->icon(), {}};
    QAbstractButton* target = nullptr;
    const QString wanted = m_script.takeFirst();
    for (QAbstractButton* button : box->buttons()) {
        const QString text = button->text().remove(u'&');
        seen.buttons << text;
        if (text == wanted)
            target = button;
    }
    m_seen << seen;
    if (target)
        QTest::mouseClick(target, Qt::LeftButton);
    else
        box->reject();  // no such button: the test sees it in seen.buttons
    if (!m_script.isEmpty())
        QTimer::singleShot(0, [this] { poll(); });
}

QString run(const QString& program, const QStringList& arguments, bool* ok, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(timeoutMs);
    if (!finished)
        process.kill();
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!finished)
        process.waitForFinished(5000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString writeImage(const QString& folder, const QString& name, int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    const QString path = QDir(folder).filePath(name);
    return image.save(path) ? path : QString();
}

QString artifactFolder()
{
    const QString folder = QStringLiteral(QUARBEL_BINARY_DIR "/e2e-artifacts");
    QDir().mkpath(folder);
    return folder;
}

}  // namespace quarbel::e2e
