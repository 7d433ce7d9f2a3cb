#include "controls/themedbutton/ThemedButton.h"

#include "controls/common/SystemColors.h"
#include "controls/themedbutton/AboutBox.h"
#include "controls/themedbutton/ButtonCaption.h"
#include "controls/themedbutton/ButtonColors.h"
#include "controls/themedbutton/ButtonIcon.h"
#include "controls/themedbutton/ButtonRender.h"
#include "controls/themedbutton/ButtonToolTip.h"
#include "controls/themedbutton/ThemedButtonAccessible.h"
#include "gfx/Text.h"

#include <QDesktopServices>
#include <QPainter>
#include <QUrl>
#include <algorithm>

namespace quarbel {

namespace {

// Below this many pixels a side is grown back (300 twips at 96 dots per inch).
constexpr int MinimumSide = 20;

// Cursor shapes by the classic pointer numbers; 0 and unknown numbers are the default.
Qt::CursorShape cursorShape(int pointer)
{
    switch (pointer) {
    case 1: return Qt::ArrowCursor;
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
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
    default: return Qt::ArrowCursor;
    }
}

gfx::Color rgbOf(std::uint32_t value)
{
    const gfx::Color c = themed::TranslateColor(value);
    return c == gfx::InvalidColor ? 0 : c;
}

}  // namespace

ThemedButton::ThemedButton(QWidget* parent) : QWidget(parent)
{
    installThemedButtonAccessible();
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    InitProperties(QString());
}

ThemedButton::~ThemedButton()
{
    delete m_toolTip.data();
    delete m_about.data();
}

void ThemedButton::changed(const char* name) { emit propertyChanged(QString::fromLatin1(name)); }

void ThemedButton::setStyle(int style)
{
    m_style = style;
    changed("Style");
    // The second layout uses the icon margin the new style's first repaint has set.
    relayout();
    relayout();
}

void ThemedButton::setCaption(const QString& caption)
{
    m_caption = caption;
    changed("Caption");
    updateAccessKey();
    relayout();
    if (accessibleName().isEmpty())
        accessibility::notifyNameChanged(this);
}

void ThemedButton::setIcon(const QImage& icon)
{
    m_icon = icon;
    changed("Icon");
    relayout();
}

void ThemedButton::setIconAlign(int align)
{
    m_iconAlign = align;
    changed("IconAlign");
    relayout();
}

void ThemedButton::setIconSize(int size)
{
    m_iconSize = static_cast<std::int16_t>(size);
    changed("IconSize");
    relayout();
}

void ThemedButton::setCaptionAlign(int align)
{
    m_captionAlign = align;
    changed("CaptionAlign");
    relayout();
}

void ThemedButton::setNonThemeStyle(int style)
{
    m_nonThemeStyle = style;
    changed("NonThemeStyle");
    relayout();
}

void ThemedButton::setEnabled(bool enabled)
{
    m_enabled = enabled;
    changed("Enabled");
    m_buttonState = themed::Normal;
    Refresh();
    QWidget::setEnabled(enabled);
}

void ThemedButton::setShowFocus(bool v) { store(m_showFocus, v, "ShowFocus"); }
void ThemedButton::setUseCustomColors(bool v) { store(m_useCustomColors, v, "UseCustomColors"); }
void ThemedButton::setBackColor(std::uint32_t v) { store(m_backColor, v, "BackColor"); }
void ThemedButton::setHighlightColor(std::uint32_t v) { store(m_highlightColor, v, "HighlightColor"); }
void ThemedButton::setFontColor(std::uint32_t v) { store(m_fontColor, v, "FontColor"); }
void ThemedButton::setFontHighlightColor(std::uint32_t v)
{
    store(m_fontHighlightColor, v, "FontHighlightColor");
}
void ThemedButton::setToolTipType(int v) { store(m_toolTipType, v, "ToolTipType"); }
void ThemedButton::setToolTipBackColor(std::uint32_t v) { store(m_toolTipBackColor, v, "ToolTipBackColor"); }
void ThemedButton::setToolTipForeColor(std::uint32_t v) { store(m_toolTipForeColor, v, "ToolTipForeColor"); }
void ThemedButton::setButtonType(int v) { store(m_buttonType, v, "ButtonType"); }
void ThemedButton::setValue(bool v) { store(m_value, v, "Value"); }
void ThemedButton::setMaskColor(std::uint32_t v) { store(m_maskColor, v, "MaskColor"); }
void ThemedButton::setUseMaskColor(bool v) { store(m_useMaskColor, v, "UseMaskColor"); }
void ThemedButton::setRoundedBordersByTheme(bool v)
{
    store(m_roundedBordersByTheme, v, "RoundedBordersByTheme");
}

void ThemedButton::setToolTipTitle(const QString& title) { store(m_toolTipTitle, title, "TooltipTitle"); }
void ThemedButton::setToolTipIcon(int icon) { store(m_toolTipIcon, icon, "TooltipIcon"); }
void ThemedButton::setRightToLeft(bool rightToLeft) { store(m_rightToLeft, rightToLeft, "bRTLText"); }

void ThemedButton::setToolTipText(const QString& text)
{
    m_toolTipText = text;
    changed("ToolTipText");
    // The host's own tooltip gets the text first: building the tooltip takes it from there.
    setToolTip(text);
    if (m_toolTip)
        createToolTip();
    Refresh();
}

void ThemedButton::setFont(const QFont& font)
{
    QWidget::setFont(font);
    changed("Font");
    Refresh();
}

void ThemedButton::setMousePointer(int pointer)
{
    m_mousePointer = static_cast<std::int16_t>(pointer);
    changed("MousePointer");
    applyCursor();
}

void ThemedButton::applyCursor()
{
    if (m_mousePointer == 0)
        unsetCursor();
    else
        setCursor(cursorShape(m_mousePointer));
}

void ThemedButton::setContainerMode(themed::Mode mode)
{
    m_mode = mode;
    if (mode == themed::Mode::Design && m_mouseInside)
        pointerLeft();
    Refresh();
}

void ThemedButton::setDisplayAsDefault(bool on)
{
    m_displayAsDefault = on;
    Refresh();
}

QSize ThemedButton::sizeHint() const
{
    const gfx::Size text = gfx::measureText(m_caption, font(), gfx::TextWordBreak, 1 << 20);
    return QSize(text.width + 16, text.height + 10).expandedTo(minimumSizeHint());
}

themed::ButtonLook ThemedButton::look() const
{
    themed::ButtonLook l;
    l.style = m_style;
    l.state = m_buttonState;
    l.width = m_w;
    l.height = m_h;
    l.hasFocus = m_hasFocus;
    l.showFocus = m_showFocus;
    l.displayAsDefault = m_displayAsDefault;
    l.enabled = m_enabled;
    l.useCustomColors = m_useCustomColors;
    l.backColor = rgbOf(m_backColor);
    l.highlightColor = rgbOf(m_highlightColor);
    l.fontColor = rgbOf(m_fontColor);
    l.fontHighlightColor = rgbOf(m_fontHighlightColor);
    l.maskColor = rgbOf(m_maskColor);
    l.useMaskColor = m_useMaskColor;
    l.roundedBordersByTheme = m_roundedBordersByTheme;
    l.icon = m_icon;
    l.iconAlign = m_iconAlign;
    l.iconSize = m_iconSize;
    l.caption = m_caption;
    l.captionRect = m_captionRect;
    l.captionFormat = m_captionFormat;
    l.font = font();
    l.theme = style();
    return l;
}

void ThemedButton::render()
{
    m_w = width();
    m_h = height();
    if (m_surface.width() != m_w || m_surface.height() != m_h)
        m_surface = gfx::Surface(std::max(m_w, 1), std::max(m_h, 1));
    themed::ClearSurface(m_surface);
    m_iconMargin = 3;
    if (!m_shown)
        return;
    m_buttonState =
        themed::displayedState(m_buttonState, m_style, m_mode, m_buttonType == 1 && m_value, m_enabled);
    const themed::RenderResult result = themed::RenderThemedButton(m_surface, look());
    m_iconMargin = result.iconMargin;
    if (result.themeRegion)
        applyRegion(*result.themeRegion);
    // Without a desktop style to draw it, style 6 becomes the fallback style from now on.
    if (result.themeFailed)
        m_style = m_nonThemeStyle;
}

void ThemedButton::click()
{
    if (isEnabled())
        emit Click();
}

void ThemedButton::Refresh()
{
    render();
    update();
    m_accessibleState.update(this, isPressedDown(), isChecked(), m_mouseInside);
}

void ThemedButton::applyRegion(const gfx::Region& region)
{
    m_region = region;
    if (region.qregion() == QRegion(0, 0, width(), height()))
        clearMask();
    else
        setMask(region.qregion());
}

void ThemedButton::relayout()
{
    if (width() < MinimumSide || height() < MinimumSide)
        resize(std::max(width(), MinimumSide), std::max(height(), MinimumSide));
    m_w = width();
    m_h = height();
    const auto place =
        themed::LayoutCaption(m_caption, font(), m_w, m_h, m_captionAlign, m_iconMargin, m_rightToLeft);
    if (place) {
        m_captionRect = place->rect;
        m_captionFormat = place->format;
    }
    m_captionFormat = themed::withReadingOrder(m_captionFormat, m_rightToLeft);
    applyRegion(themed::ButtonRegion(m_style, m_w, m_h));
    Refresh();
}

void ThemedButton::paintEvent(QPaintEvent*)
{
    render();
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_surface.image());
}

void ThemedButton::About()
{
    if (!m_about)
        m_about = new themed::AboutBox(version());
    m_about->present();
}

bool ThemedButton::PaintIconGrayscale(gfx::Surface& dest, const QImage& icon, int destX, int destY,
                                      int destHeight, int destWidth) const
{
    return themed::PaintIconGrayscale(dest, icon, destX, destY, destHeight, destWidth);
}

int ThemedButton::OpenLink(const QString& sLink)
{
    // The shell's convention: values above 32 report success, 2 that nothing was found.
    return QDesktopServices::openUrl(QUrl::fromUserInput(sLink)) ? 33 : 2;
}

}  // namespace quarbel
