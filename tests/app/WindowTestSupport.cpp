#include "WindowTestSupport.h"

#include <QApplication>
#include <QColor>
#include <QDir>

namespace quarbel::testing {

platform::MessageAnswer FakeMessageBoxes::show(QWidget*, const QString& text, const QString& title,
                                               platform::MessageIcon icon, platform::MessageButtons buttons)
{
    asked.append({text, title, icon, buttons});
    if (whileOpen)
        whileOpen();
    if (buttons == platform::MessageButtons::Ok)
        return platform::MessageAnswer::Ok;
    if (answers.empty())
        return platform::MessageAnswer::No;
    const platform::MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

bool FakeShell::openUrl(const QUrl& url)
{
    urls << url;
    return true;
}

bool FakeShell::openFolder(const QString& folder)
{
    folders << folder;
    return true;
}

FakeWindow::FakeWindow()
{
    platform::PlatformServices services{messages, shell, std::make_shared<FakeDialogs>(),
                                        std::make_shared<FakeClipboard>()};
    form = std::make_unique<app::Form3>(services);
}

QString writeImage(const QString& folder, const QString& name, int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    const QString path = QDir(folder).filePath(name);
    return image.save(path) ? path : QString();
}

}  // namespace quarbel::testing

namespace {

// The widgets need an application object before the first test builds a window; the tests
// run with QT_QPA_PLATFORM=offscreen.
int g_argc = 1;
char g_name[] = "quarbel-tests";
char* g_argv[] = {g_name, nullptr};
const QApplication* const g_application = [] {
    qputenv("QUARBEL_INSTANCE_KEY", "quarbel-unit-tests");
    return new QApplication(g_argc, g_argv);
}();

}  // namespace
