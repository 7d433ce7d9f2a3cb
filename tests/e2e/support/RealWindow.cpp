#include "RealWindow.h"

#include "app/Form3.h"

namespace quarbel::e2e {

QRect placeOf(const QString& control)
{
    static const app::FormLayout layout = app::Form3::programLayout();
    const app::LayoutControl* c = layout.control(control);
    if (!c)
        return {};
    QRect place = c->geometry();
    for (const app::LayoutControl* p = layout.control(c->parent); p && !p->parent.isEmpty();
         p = layout.control(p->parent))
        place.translate(p->geometry().topLeft());
    return place;
}

RealWindow::RealWindow()
{
    m_started = m_program.start(QStringLiteral("src/app/quarbel"));
    if (m_started)
        focusWindow(m_program.window());
}

QPoint RealWindow::at(const QString& control) const { return m_program.toScreen(placeOf(control).center()); }

QPoint RealWindow::at(const QString& control, QPoint offset) const
{
    return m_program.toScreen(placeOf(control).topLeft() + offset);
}

void RealWindow::click(const QString& control, Qt::MouseButton button)
{
    // Without a window manager the keyboard stays where it was put last (a closed dialog
    // leaves it nowhere): a click on the window gives it the keyboard, as one would.
    focusWindow(m_program.window());
    e2e::click(at(control), button);
}

void RealWindow::typeInto(const QString& control, const QString& text)
{
    click(control);
    key(QStringLiteral("End"));
    key(QStringLiteral("shift+Home"));
    type(text);
}

QString RealWindow::textOf(const QString& control)
{
    focusWindow(m_program.window());
    return fieldText(at(control));
}

QString RealWindow::waitForNewWindow() { return m_program.waitForNewWindow({m_program.window()}); }

bool RealWindow::waitUntilClosed(const QString& window)
{
    return waitUntil([&] { return !m_program.windows().contains(window); });
}

void RealWindow::answer(const QString& window, const QString& typed, const QString& keys)
{
    focusWindow(window);
    if (!typed.isEmpty())
        type(typed);
    if (!keys.isEmpty())
        key(keys);
}

std::optional<QString> RealWindow::typeIntoDialogOf(const QString& control, const QString& typed)
{
    click(control);
    const QString dialog = waitForNewWindow();
    if (dialog.isEmpty())
        return std::nullopt;
    const QString title = windowName(dialog);
    answer(dialog, typed, QStringLiteral("Return"));
    if (!waitUntilClosed(dialog))
        return std::nullopt;
    return title;
}

QImage RealWindow::screenshot() const { return e2e::screenshot(windowGeometry(m_program.window())); }

}  // namespace quarbel::e2e
