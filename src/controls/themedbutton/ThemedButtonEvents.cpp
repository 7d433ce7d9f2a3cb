// The themed button's visual state machine: Qt's enter, leave, mouse, key, focus, show, hide,
// palette and style events drive ButtonState, the events raised to the host and the tooltip.

#include "controls/common/SystemColors.h"
#include "controls/themedbutton/ButtonToolTip.h"
#include "controls/themedbutton/ThemedButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcutEvent>

namespace quarbel {

namespace {

// Mouse buttons by the classic numbers: 1 left, 2 right, 4 middle.
int buttonNumber(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

}  // namespace

void ThemedButton::setState(ButtonState s)
{
    m_buttonState = static_cast<int>(s);
    Refresh();
}

void ThemedButton::SubclassProc(Notice notice)
{
    switch (notice) {
    case Notice::SystemColorChange:
    case Notice::ThemeChanged: Refresh(); break;
    case Notice::MouseMove:
        if (!m_mouseInside)
            pointerEntered();
        break;
    case Notice::MouseLeave: pointerLeft(); break;
    }
}

void ThemedButton::pointerEntered()
{
    m_mouseInside = true;
    setState(ButtonState::Hot);
    emit MouseEnter();
    createToolTip();
}

void ThemedButton::pointerLeft()
{
    m_mouseInside = false;
    m_buttonState = static_cast<int>(ButtonState::Normal);
    destroyToolTip();
    Refresh();
    emit MouseLeave();
}

void ThemedButton::createToolTip()
{
    if (m_toolTip)
        m_toolTip->deleteLater();
    // The host's tooltip is taken over while the pointer is inside, so it shows none itself.
    m_toolTipText = toolTip();
    setToolTip(QString());
    const themed::ToolTipSetup setup = themed::toolTipSetup(
        m_toolTipType, m_toolTipIcon, m_toolTipTitle, m_toolTipText, m_toolTipForeColor, m_toolTipBackColor);
    m_toolTip = new themed::ButtonToolTip(setup, this);
}

void ThemedButton::destroyToolTip()
{
    setToolTip(m_toolTipText);
    if (m_toolTip) {
        m_toolTip->hide();
        m_toolTip->deleteLater();
        m_toolTip = nullptr;
    }
}

void ThemedButton::hostClick()
{
    if (m_lastMouseButton != 1)
        return;
    if (m_buttonType == 1)
        m_value = !m_value;
    setState(ButtonState::Hot);
}

void ThemedButton::accessKey()
{
    m_lastMouseButton = 1;
    hostClick();
    emit Click();
    m_buttonState = static_cast<int>(ButtonState::Normal);
}

void ThemedButton::updateAccessKey()
{
    if (m_accessKeyId)
        releaseShortcut(m_accessKeyId);
    m_accessKeyId = 0;
    const QKeySequence key = QKeySequence::mnemonic(m_caption);
    if (!key.isEmpty())
        m_accessKeyId = grabShortcut(key);
}

bool ThemedButton::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::Enter:
        // The pointer's arrival is its first move inside.
        if (m_mode == themed::Mode::Run)
            SubclassProc(Notice::MouseMove);
        break;
    case QEvent::Leave:
        if (m_mode == themed::Mode::Run && m_mouseInside)
            SubclassProc(Notice::MouseLeave);
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
            emit MouseLeave();
        break;
    }
    case QEvent::Shortcut:
        if (static_cast<QShortcutEvent*>(e)->key() == QKeySequence::mnemonic(m_caption)) {
            accessKey();
            return true;
        }
        break;
    default: break;
    }
    return QWidget::event(e);
}

void ThemedButton::changeEvent(QEvent* e)
{
    switch (e->type()) {
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
        SystemColors::paletteChanged();
        SubclassProc(Notice::SystemColorChange);
        break;
    case QEvent::StyleChange:
    case QEvent::ThemeChange: SubclassProc(Notice::ThemeChanged); break;
    default: break;
    }
    QWidget::changeEvent(e);
}

void ThemedButton::mouseMoveEvent(QMouseEvent*)
{
    if (m_mode == themed::Mode::Run)
        SubclassProc(Notice::MouseMove);
}

void ThemedButton::mousePressEvent(QMouseEvent* e)
{
    // A press proves the pointer is inside even when no move came first.
    if (m_mode == themed::Mode::Run && !m_mouseInside)
        SubclassProc(Notice::MouseMove);
    if (e->button() == Qt::LeftButton)
        setState(ButtonState::Pressed);
}

void ThemedButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && m_lastMouseButton == 1)
        setState(ButtonState::Pressed);
}

void ThemedButton::leftRelease(bool clicks)
{
    if (m_buttonType != 1 || m_value) {
        setState(ButtonState::Hot);
        // The Hot face shows before a long Click handler runs. Only this repaint runs
        // here: other pending events (timers, queued input) keep their order.
        if (isVisible())
            repaint();
        if (clicks)
            emit Click();
    } else {
        setState(ButtonState::Pressed);
    }
}

void ThemedButton::mouseReleaseEvent(QMouseEvent* e)
{
    const bool over = rect().contains(e->position().toPoint());
    // Released away from the button: the pointer is no longer inside, so no Click.
    if (e->button() == Qt::LeftButton)
        leftRelease(m_mouseInside && over);
    m_lastMouseButton = buttonNumber(e->button());
    // The host's click notification follows a release over the control.
    if (over)
        hostClick();
}

void ThemedButton::performClick()
{
    if (!isEnabled())
        return;
    const QPointer<ThemedButton> alive(this);
    setState(ButtonState::Pressed);
    leftRelease(true);
    if (!alive)
        return;
    m_lastMouseButton = 1;
    hostClick();
    if (!m_mouseInside) {
        m_buttonState = static_cast<int>(ButtonState::Normal);
        Refresh();
    }
}

void ThemedButton::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Space: setState(ButtonState::Pressed); break;
    case Qt::Key_Right:
    case Qt::Key_Down: focusNextChild(); break;
    case Qt::Key_Left:
    case Qt::Key_Up: focusPreviousChild(); break;
    default: QWidget::keyPressEvent(e); break;
    }
}

void ThemedButton::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() != Qt::Key_Space) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    // A held key repeats; only the real release clicks.
    if (e->isAutoRepeat())
        return;
    hostClick();
    emit Click();
    setState(ButtonState::Normal);
}

void ThemedButton::focusInEvent(QFocusEvent* e)
{
    m_hasFocus = true;
    Refresh();
    QWidget::focusInEvent(e);
}

void ThemedButton::focusOutEvent(QFocusEvent* e)
{
    m_hasFocus = false;
    Refresh();
    QWidget::focusOutEvent(e);
}

void ThemedButton::showEvent(QShowEvent* e)
{
    m_shown = true;
    relayout();
    QWidget::showEvent(e);
}

void ThemedButton::hideEvent(QHideEvent* e)
{
    m_shown = false;
    // A tooltip does not outlive its hidden button.
    if (m_mouseInside)
        pointerLeft();
    setToolTip(m_toolTipText);
    QWidget::hideEvent(e);
}

void ThemedButton::resizeEvent(QResizeEvent* e)
{
    relayout();
    QWidget::resizeEvent(e);
}

}  // namespace quarbel
