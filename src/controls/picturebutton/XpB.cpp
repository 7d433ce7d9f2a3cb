#include "controls/picturebutton/XpB.h"

#include "controls/common/SystemColors.h"
#include "controls/picturebutton/ButtonSound.h"
#include "controls/picturebutton/XpBAccessible.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcut>
#include <QUrl>
#include <algorithm>
#include <optional>

namespace quarbel {

using namespace picturebutton;

namespace {

// Below this many pixels a side is grown back (10 pixels at 96 dots per inch).
constexpr int MinimumSide = 10;
// How often the pointer is looked for while it is over the button.
constexpr int OverTimerInterval = 10;
// Picture boxes beyond this many pixels a side draw as this many (they are clipped anyway).
constexpr int LargestPictureSide = 1 << 20;

// The classic numbers of the mouse buttons and of the shift keys.
int buttonCode(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int buttonsCode(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

int shiftCode(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

// The classic key code: letters and digits are their upper-case characters.
int keyCode(const QKeyEvent* e)
{
    const int k = e->key();
    switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Delete: return 46;
    default: break;
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return 112 + (k - Qt::Key_F1);
    return k < 0x80 ? k : 0;
}

// The classic pointer numbers; 99 is the control's own MouseIcon.
constexpr int CustomPointer = 99;

std::optional<Qt::CursorShape> pointerShape(int pointer)
{
    switch (pointer) {
    case 1: return Qt::ArrowCursor;
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 4: return Qt::ArrowCursor;
    case 5:
    case 15: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 10: return Qt::UpArrowCursor;
    case 11: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 14: return Qt::WhatsThisCursor;
    default: return std::nullopt;
    }
}

}  // namespace

QChar accessKeyOf(const QString& caption)
{
    if (caption.size() < 2)
        return {};
    const qsizetype first = caption.indexOf(u'&');
    if (first < 0 || first == caption.size() - 1)
        return {};
    if (caption[first + 1] != u'&')
        return caption[first + 1].toLower();
    const qsizetype next = caption.indexOf(u'&', first + 2);
    if (next < 0 || next == caption.size() - 1 || caption[next + 1] == u'&')
        return {};
    return caption[next + 1].toLower();
}

XpB::XpB(QWidget* parent) : QWidget(parent)
{
    installXpBAccessible();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(MinimumSide, MinimumSide);
    m_surfaceBackColor = ResolveButtonColor(m_backColor);
    m_overTimer.setInterval(OverTimerInterval);
    connect(&m_overTimer, &QTimer::timeout, this, &XpB::OverTimer_Timer);
    m_accessShortcut = new QShortcut(this);
    m_accessShortcut->setEnabled(false);
    connect(m_accessShortcut, &QShortcut::activated, this, &XpB::accessKeyPressed);
}

void XpB::notify(const char* name) { emit propertyChanged(QString::fromLatin1(name)); }

// --- properties ----------------------------------------------------------------------------------

void XpB::setBackColor(std::uint32_t color)
{
    m_backColor = color;
    notify("BackColor");
    m_surfaceBackColor = ResolveButtonColor(color);
    Refresh();
}

void XpB::setForeColor(std::uint32_t color)
{
    m_foreColor = color;
    notify("ForeColor");
    Refresh();
}

void XpB::setShowFocusRect(bool show)
{
    m_showFocusRect = show;
    notify("ShowFocusRect");
    Refresh();
}

void XpB::setCaption(const QString& caption)
{
    m_caption = caption;
    notify("Caption");
    UpdateAccessKey();
    Refresh();
    if (accessibleName().isEmpty())
        accessibility::notifyNameChanged(this);
}

void XpB::setPicturePosition(int position)
{
    m_picturePosition = position;
    notify("PicturePosition");
    Refresh();
}

void XpB::setButtonStyle(int style)
{
    m_buttonStyle = style;
    notify("ButtonStyle");
    if (style == XP)
        m_transparentBG = false;
    // The flat style leaves its hover or press colour as the surface's back colour; another
    // style starts again from BackColor.
    m_surfaceBackColor = ResolveButtonColor(m_backColor);
    resizeSteps();
}

void XpB::setPicture(const QImage& picture)
{
    m_picture = picture;
    m_normalPicture = picture;
    m_originalPicSizeW = picture.isNull() ? 32 : picture.width();
    m_originalPicSizeH = picture.isNull() ? 32 : picture.height();
    notify("Picture");
    if (m_pictureSize == NativeSize) {
        m_pictureWidth = m_originalPicSizeW;
        m_pictureHeight = m_originalPicSizeH;
    }
    Refresh();
}

void XpB::setPictureWidth(int width)
{
    m_pictureWidth = width;
    notify("PictureWidth");
    Refresh();
}

void XpB::setPictureHeight(int height)
{
    m_pictureHeight = height;
    notify("PictureHeight");
    Refresh();
}

void XpB::setPictureSize(int size)
{
    m_pictureSize = size;
    switch (size) {
    case Small16: m_pictureWidth = m_pictureHeight = 16; break;
    case Large32: m_pictureWidth = m_pictureHeight = 32; break;
    case NativeSize:
        m_pictureWidth = m_normalPicture.isNull() ? 32 : m_originalPicSizeW;
        m_pictureHeight = m_normalPicture.isNull() ? 32 : m_originalPicSizeH;
        break;
    default: break;
    }
    notify("PictureSize");
    Refresh();
}

void XpB::setPictureHover(const QImage& picture)
{
    m_pictureHover = picture;
    notify("PictureHover");
}

void XpB::setFont(const QFont& font)
{
    QWidget::setFont(font);  // the font change repaints
    notify("Font");
}

void XpB::setMousePointer(int pointer)
{
    m_mousePointer = pointer;
    applyPointer();
    notify("MousePointer");
}

void XpB::setMouseIcon(const QImage& icon)
{
    m_mouseIcon = icon;
    applyPointer();
    notify("MouseIcon");
}

void XpB::applyPointer()
{
    if (m_mousePointer == CustomPointer && !m_mouseIcon.isNull())
        setCursor(QCursor(QPixmap::fromImage(m_mouseIcon)));
    else if (const auto shape = pointerShape(m_mousePointer))
        setCursor(*shape);
    else
        unsetCursor();
}

void XpB::setEnabled(bool enabled)
{
    QWidget::setEnabled(enabled);  // the enabled change repaints
    notify("Enabled");
}

void XpB::setURL(const QString& url)
{
    m_url = url;
    notify("URL");
}

void XpB::setXPColor_Pressed(std::uint32_t color)
{
    m_xpColorPressed = color;
    notify("XPColor_Pressed");
}

void XpB::setXPColor_Hover(std::uint32_t color)
{
    m_xpColorHover = color;
    notify("XPColor_Hover");
}

void XpB::setXPDefaultColors(bool on)
{
    m_xpDefaultColors = on;
    notify("XPDefaultColors");
}

void XpB::setSoundOver(const QString& path)
{
    m_soundOver = path;
    notify("SoundOver");
}

void XpB::setSoundClick(const QString& path)
{
    m_soundClick = path;
    notify("SoundClick");
}

void XpB::setDefCurHand(bool on)
{
    m_defCurHand = on;
    notify("DefCurHand");
}

void XpB::setXPShowBorderAlways(bool on)
{
    m_xpShowBorderAlways = on;
    notify("XPShowBorderAlways");
}

void XpB::setMaskColor(std::uint32_t color)
{
    m_maskColor = color;
    notify("MaskColor");
    Refresh();
}

void XpB::setTransparentBG(bool on)
{
    m_transparentBG = on;
    notify("TransparentBG");
    Refresh();
}

void XpB::setBEVEL(int bevel)
{
    m_bevel = bevel;
    notify("BEVEL");
    Refresh();
}

void XpB::setBEVELDEPTH(int depth)
{
    m_bevelDepth = depth;
    notify("BEVELDEPTH");
    Refresh();
}

void XpB::UpdateAccessKey()
{
    m_accessKey = accessKeyOf(m_caption);
    if (m_accessKey.isNull()) {
        m_accessShortcut->setKey(QKeySequence());
    } else {
        const QChar upper = m_accessKey.toUpper();
        m_accessShortcut->setKey(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(upper.unicode()))));
    }
    m_accessShortcut->setEnabled(!m_accessKey.isNull() && isEnabled());
}

// --- drawing ---------------------------------------------------------------------------------------

QImage XpB::parentBackground() const
{
    const QWidget* parent = parentWidget();
    if (!m_transparentBG || !parent || width() <= 0 || height() <= 0)
        return {};
    QImage image(width(), height(), QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setBrushOrigin(-pos());
    painter.fillRect(image.rect(), parent->palette().brush(parent->backgroundRole()));
    return image;
}

Look XpB::look() const
{
    Look l;
    l.W = width();
    l.H = height();
    l.buttonStyle = m_buttonStyle;
    l.enabled = isEnabled();
    l.hasFocus = m_hasFocus;
    l.isPressed = m_isPressed;
    l.isHovering = m_isHovering;
    l.showFocusRect = m_showFocusRect;
    l.transparentBG = m_transparentBG;
    l.xpDefaultColors = m_xpDefaultColors;
    l.backColor = m_backColor;
    l.foreColor = m_foreColor;
    l.xpColorPressed = m_xpColorPressed;
    l.xpColorHover = m_xpColorHover;
    l.maskColor = m_maskColor;
    l.surfaceBackColor = m_surfaceBackColor;
    l.bevel = m_bevel;
    l.bevelDepth = m_bevelDepth;
    l.picture = m_picture;
    l.pictureWidth = std::clamp(m_pictureWidth, -LargestPictureSide, LargestPictureSide);
    l.pictureHeight = std::clamp(m_pictureHeight, -LargestPictureSide, LargestPictureSide);
    l.picturePosition = m_picturePosition;
    l.previousPictureRect = m_pictureRect;
    l.caption = m_caption;
    l.font = font();
    l.parentBackground = parentBackground();
    return l;
}

void XpB::Refresh()
{
    // Until the widget has been given a size or shown, its size is Qt's placeholder.
    if (testAttribute(Qt::WA_Resized) || isVisible()) {
        if (m_surface.width() != width() || m_surface.height() != height())
            m_surface = gfx::Surface(width(), height());
        const Painted painted = RenderPictureButton(m_surface, look());
        m_pictureRect = painted.layout.picture;
        m_captionRect = painted.layout.caption;
        m_surfaceBackColor = painted.surfaceBackColor;
    }
    update();
    m_accessibleState.update(this, m_isPressed, false, m_isHovering);
}

void XpB::paintEvent(QPaintEvent*)
{
    if (m_surface.width() != width() || m_surface.height() != height())
        Refresh();
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_surface.image());
}

void XpB::resizeSteps()
{
    m_width = width();
    m_height = height();
    if (m_buttonStyle == XP)
        setMask(MakeRoundRegion(m_width, m_height).qregion());
    else
        clearMask();
    Refresh();
}

void XpB::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    resizeSteps();
}

QSize XpB::sizeHint() const
{
    const gfx::Size text = MeasureCaption(m_caption, font(), 1 << 16);
    const int picture = m_picture.isNull() ? 0 : m_pictureWidth + 4;
    return {std::max(MinimumSide, text.width + picture + 16),
            std::max({MinimumSide, text.height + 8, m_picture.isNull() ? 0 : m_pictureHeight + 8})};
}

void XpB::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled()) {
            // A disabled button gets no release: it must not come back pressed.
            m_isPressed = false;
            m_keyIsDown = false;
        }
        m_accessShortcut->setEnabled(!m_accessKey.isNull() && isEnabled());
        Refresh();
        break;
    case QEvent::FontChange: Refresh(); break;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
        SystemColors::paletteChanged();
        Refresh();
        break;
    default: break;
    }
    QWidget::changeEvent(event);
}

// --- input -----------------------------------------------------------------------------------------

void XpB::focusInEvent(QFocusEvent* event)
{
    m_hasFocus = true;
    Refresh();
    QWidget::focusInEvent(event);
}

void XpB::focusOutEvent(QFocusEvent* event)
{
    m_hasFocus = false;
    m_isPressed = false;
    // The key's release goes to whichever control has the focus now.
    m_keyIsDown = false;
    Refresh();
    QWidget::focusOutEvent(event);
}

void XpB::mouseDownStep(int button, int shift, float x, float y)
{
    m_lastButton = button;
    m_lastShift = shift;
    m_lastX = x;
    m_lastY = y;
    if (button != 2) {
        m_isPressed = true;
        Refresh();
    }
    emit MouseDown(button, shift, x, y);
}

void XpB::mouseUpStep(int button, int shift, float x, float y)
{
    m_isPressed = false;
    if (button != 2) {
        Refresh();
        if (x >= 0 && x < width() && y >= 0 && y < height()) {
            PlayButtonSound(m_soundClick);
            const QPointer<XpB> alive(this);
            emit Click();
            if (!alive)
                return;
            GoToURL();
        }
    }
    emit MouseUp(button, shift, x, y);
}

void XpB::mousePressEvent(QMouseEvent* event)
{
    mouseDownStep(buttonCode(event->button()), shiftCode(event->modifiers()), float(event->position().x()),
                  float(event->position().y()));
}

void XpB::mouseDoubleClickEvent(QMouseEvent*) { mouseDownStep(m_lastButton, m_lastShift, m_lastX, m_lastY); }

void XpB::mouseReleaseEvent(QMouseEvent* event)
{
    mouseUpStep(buttonCode(event->button()), shiftCode(event->modifiers()), float(event->position().x()),
                float(event->position().y()));
}

void XpB::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    const int shift = shiftCode(event->modifiers());
    if (p.x() >= 0 && p.x() < width() && p.y() >= 0 && p.y() < height() && !m_isHovering) {
        m_overTimer.start();
        m_isHovering = true;
        if (!m_pictureHover.isNull())
            m_picture = m_pictureHover;
        emit MouseIn(shift);
        Refresh();
    }
    emit MouseMove(buttonsCode(event->buttons()), shift, float(p.x()), float(p.y()));
}

void XpB::OverTimer_Timer()
{
    if (QApplication::widgetAt(QCursor::pos()) == this)
        return;
    m_overTimer.stop();
    m_isHovering = false;
    m_picture = m_normalPicture;
    emit MouseOut(m_lastShift);
    Refresh();
    if (m_isPressed) {
        // Outside, a held button looks released; it looks pressed again when the pointer returns.
        m_isPressed = false;
        Refresh();
        m_isPressed = true;
    }
}

void XpB::keyPressEvent(QKeyEvent* event)
{
    if (!m_keyIsDown) {
        if (event->key() == Qt::Key_Space) {
            m_isPressed = true;
            m_isHovering = true;
            Refresh();
        }
        m_keyIsDown = true;
    }
    emit KeyDown(keyCode(event), shiftCode(event->modifiers()));
    if (!event->text().isEmpty())
        emit KeyPress(event->text().at(0).unicode());
    if (event->key() != Qt::Key_Space)
        event->ignore();
}

void XpB::keyReleaseEvent(QKeyEvent* event)
{
    // X reports a held key as releases and presses marked as repeats; only the real release
    // counts.
    if (event->isAutoRepeat())
        return;
    const int shift = shiftCode(event->modifiers());
    if (event->key() == Qt::Key_Space) {
        m_isPressed = false;
        m_isHovering = false;
        Refresh();
        const QPointer<XpB> alive(this);
        mouseUpStep(1, shift, 0, 0);
        if (!alive)
            return;
    }
    m_keyIsDown = false;
    emit KeyUp(keyCode(event), shift);
    if (event->key() != Qt::Key_Space)
        event->ignore();
}

void XpB::performClick()
{
    if (!isEnabled())
        return;
    const float x = width() / 2.0F;
    const float y = height() / 2.0F;
    const QPointer<XpB> alive(this);
    mouseDownStep(1, 0, x, y);
    if (alive)
        mouseUpStep(1, 0, x, y);
}

void XpB::accessKeyPressed()
{
    if (!isEnabled())
        return;
    const QPointer<XpB> alive(this);
    emit Click();
    if (alive)
        GoToURL();
}

void XpB::GoToURL()
{
    if (m_url.isEmpty())
        return;
    static platform::QtShell desktop;
    platform::Shell& shell = m_shell ? *m_shell : desktop;
    // The result is not reported: a link that cannot be opened is left alone.
    if (m_url.left(7) == QLatin1String("mailto:"))
        shell.openUrl(QUrl(m_url));
    else
        shell.openUrl(QUrl::fromUserInput(m_url));
}

}  // namespace quarbel
