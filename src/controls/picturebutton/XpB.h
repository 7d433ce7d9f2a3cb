#pragma once
// XpB: the owner-drawn push button with a caption, an optional picture, five looks
// (ButtonStyle), hover and press feedback, a click sound, an optional link opened on click,
// and an access key taken from the caption's "&".
//
// The widget keeps the button's state and turns Qt's input into it; every visible change ends
// in Refresh, which paints the whole button into a 1x surface through the stateless routines
// of ButtonLook.h. Click is raised on a release of any but the right button inside the button,
// on Space released while focused, and on Alt with the access key.

#include "controls/common/Accessibility.h"
#include "controls/common/PropertyBag.h"
#include "controls/picturebutton/ButtonLook.h"
#include "gfx/Surface.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>

class QShortcut;

namespace quarbel {

namespace platform {
class Shell;
}

class XpB : public QWidget {
    Q_OBJECT

public:
    explicit XpB(QWidget* parent = nullptr);

    // --- properties -------------------------------------------------------------------------
    std::uint32_t BackColor() const { return m_backColor; }
    void setBackColor(std::uint32_t color);
    std::uint32_t ForeColor() const { return m_foreColor; }
    void setForeColor(std::uint32_t color);
    bool ShowFocusRect() const { return m_showFocusRect; }
    void setShowFocusRect(bool show);
    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    // 0 above, 1 left of, 2 right of, 3 below the caption.
    int PicturePosition() const { return m_picturePosition; }
    void setPicturePosition(int position);
    int ButtonStyle() const { return m_buttonStyle; }
    void setButtonStyle(int style);
    // A picture with an alpha channel is drawn as an icon; one without as a bitmap whose
    // MaskColor pixels are left out.
    QImage Picture() const { return m_picture; }
    void setPicture(const QImage& picture);
    int PictureWidth() const { return m_pictureWidth; }
    void setPictureWidth(int width);
    int PictureHeight() const { return m_pictureHeight; }
    void setPictureHeight(int height);
    int PictureSize() const { return m_pictureSize; }
    void setPictureSize(int size);
    QSize OriginalPicSize() const { return {m_originalPicSizeW, m_originalPicSizeH}; }
    QImage PictureHover() const { return m_pictureHover; }
    void setPictureHover(const QImage& picture);
    QFont Font() const { return font(); }
    void setFont(const QFont& font);
    // The classic pointer numbers (0 default, 1 arrow, 2 cross, 3 I-beam, 11 hourglass...,
    // 99 MouseIcon).
    int MousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);
    QImage MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const QImage& icon);
    bool Enabled() const { return isEnabled(); }
    void setEnabled(bool enabled);
    bool Visible() const { return isVisible(); }
    QString URL() const { return m_url; }
    void setURL(const QString& url);
    std::uint32_t XPColor_Pressed() const { return m_xpColorPressed; }
    void setXPColor_Pressed(std::uint32_t color);
    std::uint32_t XPColor_Hover() const { return m_xpColorHover; }
    void setXPColor_Hover(std::uint32_t color);
    bool XPDefaultColors() const { return m_xpDefaultColors; }
    void setXPDefaultColors(bool on);
    QString SoundOver() const { return m_soundOver; }
    void setSoundOver(const QString& path);
    QString SoundClick() const { return m_soundClick; }
    void setSoundClick(const QString& path);
    bool DefCurHand() const { return m_defCurHand; }
    void setDefCurHand(bool on);
    bool XPShowBorderAlways() const { return m_xpShowBorderAlways; }
    void setXPShowBorderAlways(bool on);
    std::uint32_t MaskColor() const { return m_maskColor; }
    void setMaskColor(std::uint32_t color);
    bool TransparentBG() const { return m_transparentBG; }
    void setTransparentBG(bool on);
    int BEVEL() const { return m_bevel; }
    void setBEVEL(int bevel);
    int BEVELDEPTH() const { return m_bevelDepth; }
    void setBEVELDEPTH(int depth);
    QString version() const { return QStringLiteral("030102-155"); }

    // The letter Alt picks the button with, in lower case; null when the caption gives none.
    QChar accessKey() const { return m_accessKey; }

    // --- state -------------------------------------------------------------------------------
    bool HasFocus() const { return m_hasFocus; }
    bool IsPressed() const { return m_isPressed; }
    bool IsHovering() const { return m_isHovering; }
    bool KeyIsDown() const { return m_keyIsDown; }
    bool overTimerActive() const { return m_overTimer.isActive(); }
    gfx::Rect PictureRect() const { return m_pictureRect; }
    gfx::Rect CaptionRect() const { return m_captionRect; }

    // --- persistence ---------------------------------------------------------------------------
    // Every property in the stored order; a name missing from the bag takes its default.
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // --- methods -------------------------------------------------------------------------------
    // Paints the whole button into its surface and shows it.
    void Refresh();
    // Opens URL through the shell: "mailto:" links with the desktop's mail handler, others
    // with the desktop's handler for the address. An empty URL does nothing.
    void GoToURL();
    // The shell links are opened with (the desktop's, unless set).
    void setShell(std::shared_ptr<platform::Shell> shell) { m_shell = std::move(shell); }
    // The pointer-leave check that runs every 10 ms while the pointer is over the button.
    void OverTimer_Timer();
    // A left click at the centre, through the mouse's own steps (pressed look, click sound,
    // Click, link), without moving the pointer: the press action of assistive technology.
    // Nothing while disabled.
    void performClick();

    // What the last Refresh painted, W x H.
    const gfx::Surface& surface() const { return m_surface; }
    // The state one repaint draws from.
    picturebutton::Look look() const;

    QSize sizeHint() const override;

signals:
    void Click();
    void KeyDown(int KeyCode, int Shift);
    void KeyPress(int KeyAscii);
    void KeyUp(int KeyCode, int Shift);
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);
    void MouseIn(int Shift);
    void MouseOut(int Shift);
    // A persisted property changed (its stored name).
    void propertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void notify(const char* name);
    void resizeSteps();
    // The pointer shown over the button: MousePointer's shape, or MouseIcon for 99.
    void applyPointer();
    void UpdateAccessKey();
    void mouseDownStep(int button, int shift, float x, float y);
    void mouseUpStep(int button, int shift, float x, float y);
    void accessKeyPressed();
    QImage parentBackground() const;

    // Geometry and layout.
    int m_width = 0;
    int m_height = 0;
    gfx::Rect m_pictureRect;
    gfx::Rect m_captionRect;
    int m_originalPicSizeW = 32;
    int m_originalPicSizeH = 32;
    // Pictures and caption.
    QImage m_normalPicture;
    QImage m_pictureHover;
    QImage m_picture;
    QString m_caption;
    int m_picturePosition = picturebutton::LeftOf;
    int m_buttonStyle = picturebutton::Flat;
    int m_pictureWidth = 32;
    int m_pictureHeight = 32;
    int m_pictureSize = picturebutton::Large32;
    // State.
    bool m_hasFocus = false;
    bool m_isPressed = false;
    bool m_isHovering = false;
    bool m_keyIsDown = false;
    int m_lastButton = 0;
    int m_lastShift = 0;
    float m_lastX = 0;
    float m_lastY = 0;
    // Stored properties.
    QString m_url;
    bool m_showFocusRect = true;
    int m_bevel = 1;
    int m_bevelDepth = 8;
    bool m_transparentBG = false;
    std::uint32_t m_maskColor = 0;
    bool m_xpShowBorderAlways = false;
    bool m_defCurHand = false;
    QString m_soundOver = QStringLiteral(".\\resources\\over.wav");
    QString m_soundClick = QStringLiteral(".\\resources\\click.wav");
    std::uint32_t m_foreColor = 0x80000012;
    std::uint32_t m_backColor = 0x8000000F;
    bool m_xpDefaultColors = true;
    std::uint32_t m_xpColorPressed = 0x80000014;
    std::uint32_t m_xpColorHover = 0x80000016;
    int m_mousePointer = 0;
    QImage m_mouseIcon;

    gfx::Color m_surfaceBackColor = 0;
    gfx::Surface m_surface;
    QTimer m_overTimer;
    QShortcut* m_accessShortcut = nullptr;
    std::shared_ptr<platform::Shell> m_shell;
    QChar m_accessKey;
    accessibility::StateWatch m_accessibleState;
};

// The access key of a caption, in lower case; null when there is none ("&&" shows an "&").
QChar accessKeyOf(const QString& caption);

}  // namespace quarbel
