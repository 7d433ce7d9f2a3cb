#pragma once
// The themed button's own tooltip: a small top-level window, a balloon with a pointer or a
// plain rectangle, with an optional title and title icon and the button's colours. It is made
// when the pointer enters the button and destroyed when it leaves, so changes show at the
// next entry.

#include "gfx/Types.h"

#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <optional>

namespace quarbel::themed {

enum class ToolTipIconKind { None = 0, Information = 1, Warning = 2, Error = 3 };

// What the tooltip is made with, from the button's properties.
struct ToolTipSetup {
    bool balloon = true;
    QString text;
    // Whether a title is set at all: a non-empty title or a title icon.
    bool hasTitle = false;
    QString title;
    int icon = 0;  // ToolTipIconKind; other numbers show no icon
    // Applied only when the property is not 0 and translates to a colour.
    std::optional<gfx::Color> textColor;
    std::optional<gfx::Color> backColor;
};

ToolTipSetup toolTipSetup(int type, int icon, const QString& title, const QString& text,
                          std::uint32_t foreColor, std::uint32_t backColor);

// The colours and shape a tooltip is drawn with.
struct ToolTipLook {
    ToolTipSetup setup;
    gfx::Color text = 0;        // the setup's colour, or the system tooltip text colour
    gfx::Color background = 0;  // the setup's colour, or the system tooltip background
    QImage titleIcon;           // the desktop style's icon for the setup's icon, or null
    QFont font;
};

// The tooltip's size for the look (the balloon includes its pointer).
QSize toolTipSize(const ToolTipLook& look);
// Draws the tooltip on a picture of toolTipSize(look); the balloon's pointer is at the top
// left, pointing up at the button.
void paintToolTip(QImage& picture, const ToolTipLook& look);
// The balloon's outline (rounded body and pointer) on a picture of that size; a rectangle
// otherwise.
QRegion toolTipShape(const ToolTipLook& look);

class ButtonToolTip : public QWidget {
    Q_OBJECT
public:
    // Shows itself near the pointer after the desktop's tooltip delay when it has text.
    ButtonToolTip(const ToolTipSetup& setup, QWidget* owner);

    const ToolTipSetup& setup() const { return m_look.setup; }
    const ToolTipLook& look() const { return m_look; }
    QWidget* owner() const { return m_owner; }

    // Shows it now below the pointer (nothing without text).
    void popUp();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    ToolTipLook m_look;
    QWidget* m_owner = nullptr;
    QTimer m_wakeUp;
};

}  // namespace quarbel::themed
