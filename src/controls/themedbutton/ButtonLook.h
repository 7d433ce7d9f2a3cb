#pragma once
// What one repaint of a themed button needs to know: the values gathered from the control
// and handed to the plain drawing routines, which keep nothing between calls.

#include "controls/themedbutton/GlossyStyles.h"
#include "gfx/Surface.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <cstdint>

class QStyle;

namespace quarbel::themed {

enum State : int { Normal = 1, Hot = 2, Pressed = 3, Disabled = 4, Defaulted = 5 };

enum Align : int { AlignCenter = 0, AlignLeft = 1, AlignRight = 2, AlignTop = 3, AlignBottom = 4 };

enum class Mode { Run, Design };

struct ButtonLook {
    int style = Classic3D;
    int state = Normal;  // the displayed state S, already adjusted (see displayedState)
    int width = 0;       // W
    int height = 0;      // H
    bool hasFocus = false;
    bool showFocus = false;
    bool displayAsDefault = false;  // the container's ambient flag
    bool enabled = true;
    bool useCustomColors = false;
    // Resolved RGB values.
    gfx::Color backColor = 0;
    gfx::Color highlightColor = 0;
    gfx::Color fontColor = 0;
    gfx::Color fontHighlightColor = 0;
    gfx::Color maskColor = 0;
    bool useMaskColor = false;
    bool roundedBordersByTheme = false;
    QImage icon;  // null: no icon
    int iconAlign = AlignLeft;
    int iconSize = 16;
    QString caption;
    gfx::Rect captionRect;
    unsigned captionFormat = 0;
    QFont font;
    const QStyle* theme = nullptr;  // the desktop style that draws style 6; null: none
};

// The state a repaint shows: design time shows every style but 5 Hot, a toggle button that is
// on shows Pressed, a disabled control shows Disabled.
int displayedState(int buttonState, int style, Mode mode, bool toggleOn, bool enabled);

}  // namespace quarbel::themed
