#pragma once
// ThemedButton: the owner-drawn push button with eleven drawing styles, an icon, a caption in
// five alignments, toggle behaviour and a tooltip of its own. The widget keeps the properties
// and the visual state (Normal, Hot, Pressed, Disabled) and drives it from Qt's mouse, key,
// focus and show events; every visible change repaints the whole control into a surface with
// the plain drawing routines of ButtonRender.h, which the paint handler then shows.
//
// Properties are persisted through a PropertyBag under fixed keys, each with the default it is
// read with and the default that is not written; a setter that changes a property emits
// propertyChanged with its name.

#include "controls/common/Accessibility.h"
#include "controls/common/PropertyBag.h"
#include "controls/themedbutton/AboutBox.h"
#include "controls/themedbutton/ButtonLook.h"
#include "controls/themedbutton/ButtonToolTip.h"
#include "gfx/Region.h"
#include "gfx/Surface.h"

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <cstdint>

namespace quarbel {

class ThemedButton : public QWidget {
    Q_OBJECT

public:
    enum class ButtonState { Normal = 1, Hot = 2, Pressed = 3, Disabled = 4 };
    // The notices that reach SubclassProc, with the platform's message numbers.
    enum class Notice {
        SystemColorChange = 0x15,
        MouseMove = 0x200,
        MouseLeave = 0x2A3,
        ThemeChanged = 0x31A
    };

    // A freshly placed control: style 0, the caption is the object name.
    explicit ThemedButton(QWidget* parent = nullptr);
    ~ThemedButton() override;

    static QString version() { return QStringLiteral("3.6.2"); }

    int Style() const { return m_style; }
    using QWidget::setStyle;
    void setStyle(int style);
    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    const QImage& Icon() const { return m_icon; }
    void setIcon(const QImage& icon);
    int IconAlign() const { return m_iconAlign; }
    void setIconAlign(int align);
    int IconSize() const { return m_iconSize; }
    void setIconSize(int size);
    int CaptionAlign() const { return m_captionAlign; }
    void setCaptionAlign(int align);
    int NonThemeStyle() const { return m_nonThemeStyle; }
    void setNonThemeStyle(int style);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool Visible() const { return isVisible(); }
    bool ShowFocus() const { return m_showFocus; }
    void setShowFocus(bool show);
    bool UseCustomColors() const { return m_useCustomColors; }
    void setUseCustomColors(bool use);
    // Colours as stored: 0x00BBGGRR, or 0x80000000 + n for system colour n.
    std::uint32_t BackColor() const { return m_backColor; }
    void setBackColor(std::uint32_t color);
    std::uint32_t HighlightColor() const { return m_highlightColor; }
    void setHighlightColor(std::uint32_t color);
    std::uint32_t FontColor() const { return m_fontColor; }
    void setFontColor(std::uint32_t color);
    std::uint32_t FontHighlightColor() const { return m_fontHighlightColor; }
    void setFontHighlightColor(std::uint32_t color);
    QString ToolTipText() const { return m_toolTipText; }
    void setToolTipText(const QString& text);
    QString ToolTipTitle() const { return m_toolTipTitle; }
    void setToolTipTitle(const QString& title);
    int ToolTipIcon() const { return m_toolTipIcon; }
    void setToolTipIcon(int icon);
    int ToolTipType() const { return m_toolTipType; }
    void setToolTipType(int type);
    std::uint32_t ToolTipBackColor() const { return m_toolTipBackColor; }
    void setToolTipBackColor(std::uint32_t color);
    std::uint32_t ToolTipForeColor() const { return m_toolTipForeColor; }
    void setToolTipForeColor(std::uint32_t color);
    QFont Font() const { return font(); }
    void setFont(const QFont& font);
    int ButtonType() const { return m_buttonType; }
    void setButtonType(int type);
    int MousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);
    bool Value() const { return m_value; }
    void setValue(bool value);
    std::uint32_t MaskColor() const { return m_maskColor; }
    void setMaskColor(std::uint32_t color);
    bool UseMaskColor() const { return m_useMaskColor; }
    void setUseMaskColor(bool use);
    bool RoundedBordersByTheme() const { return m_roundedBordersByTheme; }
    void setRoundedBordersByTheme(bool rounded);
    bool RightToLeft() const { return m_rightToLeft; }
    void setRightToLeft(bool rightToLeft);

    // Persistence: a new instance, loading and saving.
    void InitProperties(const QString& hostName);
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // The container: run time (hover, tooltips) or design time (every style but 5 shown Hot).
    themed::Mode containerMode() const { return m_mode; }
    void setContainerMode(themed::Mode mode);
    // The container's display-as-default ambient flag.
    bool displayAsDefault() const { return m_displayAsDefault; }
    void setDisplayAsDefault(bool on);

    // Raises Click as the host's own code would (nothing while disabled).
    void click();
    // A left click over the button through the mouse's own steps (Pressed, the release's
    // Click, the host's click notification, a toggle's Value), without moving the pointer:
    // the press action of assistive technology. The button then rests Normal unless the
    // pointer is over it. Nothing while disabled.
    void performClick();
    // Repaints the whole control now.
    void Refresh();
    void About();
    // Draws the icon in greys on the surface; see themed::PaintIconGrayscale.
    bool PaintIconGrayscale(gfx::Surface& dest, const QImage& icon, int destX, int destY, int destHeight,
                            int destWidth) const;
    // Asks the desktop to open the link; above 32 means it did, 2 that it could not.
    int OpenLink(const QString& sLink);
    // Where the platform notices arrive: colour and theme changes, the pointer's first move
    // inside and its leaving.
    void SubclassProc(Notice notice);

    ButtonState state() const { return static_cast<ButtonState>(m_buttonState); }
    // A toggle button whose Value is True.
    bool isChecked() const { return m_buttonType == 1 && m_value; }
    // Held down by the mouse or Space (a checked toggle shows Pressed without being held).
    bool isPressedDown() const { return state() == ButtonState::Pressed && !isChecked(); }
    bool HasFocus() const { return m_hasFocus; }
    bool MouseInside() const { return m_mouseInside; }
    int LastMouseButton() const { return m_lastMouseButton; }
    gfx::Rect ClientRect() const { return {0, 0, m_w, m_h}; }
    gfx::Rect CaptionRect() const { return m_captionRect; }
    unsigned CaptionFormat() const { return m_captionFormat; }
    int IconMargin() const { return m_iconMargin; }
    const gfx::Region& windowRegion() const { return m_region; }
    // The surface as last repainted (W x H).
    const gfx::Surface& surface() const { return m_surface; }
    // The tooltip while the pointer is inside, else null.
    themed::ButtonToolTip* toolTipWindow() const { return m_toolTip; }
    themed::AboutBox* aboutBox() const { return m_about; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {20, 20}; }

signals:
    void Click();
    void MouseEnter();
    void MouseLeave();
    void propertyChanged(const QString& name);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void setState(ButtonState s);
    void changed(const char* name);
    // Stores a property that only needs a repaint, and tells the host.
    template <typename T>
    void store(T& member, const T& value, const char* name)
    {
        member = value;
        changed(name);
        Refresh();
    }
    // Minimum size, caption place, window region, repaint.
    void relayout();
    void render();
    void applyRegion(const gfx::Region& region);
    themed::ButtonLook look() const;
    void hostClick();
    // The left button's release: Hot and Click (when it counts), or a toggle held Pressed.
    void leftRelease(bool clicks);
    void accessKey();
    void pointerEntered();
    void pointerLeft();
    void createToolTip();
    void destroyToolTip();
    void updateAccessKey();
    void applyCursor();

    // Properties.
    int m_style = 0;
    QString m_caption;
    QImage m_icon;
    int m_iconAlign = 1;
    int m_iconSize = 16;
    int m_captionAlign = 0;
    int m_nonThemeStyle = 0;
    bool m_enabled = true;
    bool m_showFocus = false;
    bool m_useCustomColors = false;
    std::uint32_t m_backColor = 0;
    std::uint32_t m_highlightColor = 0;
    std::uint32_t m_fontColor = 0;
    std::uint32_t m_fontHighlightColor = 0;
    QString m_toolTipText;
    QString m_toolTipTitle;
    int m_toolTipIcon = 0;
    int m_toolTipType = 1;
    std::uint32_t m_toolTipBackColor = 0;
    std::uint32_t m_toolTipForeColor = 0;
    int m_buttonType = 0;
    int m_mousePointer = 0;
    bool m_value = false;
    std::uint32_t m_maskColor = 0;
    bool m_useMaskColor = false;
    bool m_roundedBordersByTheme = false;
    bool m_rightToLeft = false;

    // State.
    int m_buttonState = 1;
    bool m_hasFocus = false;
    bool m_shown = false;
    bool m_mouseInside = false;
    int m_lastMouseButton = 0;
    int m_w = 0;
    int m_h = 0;
    gfx::Rect m_captionRect;
    unsigned m_captionFormat = 17;
    int m_iconMargin = 4;
    gfx::Region m_region;
    themed::Mode m_mode = themed::Mode::Run;
    bool m_displayAsDefault = false;
    int m_accessKeyId = 0;
    gfx::Surface m_surface;
    QPointer<themed::ButtonToolTip> m_toolTip;
    QPointer<themed::AboutBox> m_about;
    accessibility::StateWatch m_accessibleState;
};

}  // namespace quarbel
