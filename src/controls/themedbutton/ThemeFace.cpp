// Style 6: the push button of the desktop's own style (the current QStyle), in the state the
// button shows. Focused and Normal is the style's default button.

#include "controls/common/SystemColors.h"
#include "controls/themedbutton/ButtonRender.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace quarbel::themed {

namespace {

QStyleOptionButton panelOption(const ButtonLook& l, int themeState)
{
    QStyleOptionButton option;
    option.rect = QRect(0, 0, l.width, l.height);
    option.direction = Qt::LeftToRight;
    option.state = QStyle::State_Enabled | QStyle::State_Raised;
    switch (themeState) {
    case Hot: option.state |= QStyle::State_MouseOver; break;
    case Pressed: option.state = QStyle::State_Enabled | QStyle::State_Sunken; break;
    case Disabled: option.state = QStyle::State_Raised; break;
    case Defaulted:
        option.state |= QStyle::State_HasFocus;
        option.features |= QStyleOptionButton::DefaultButton;
        break;
    default: break;
    }
    return option;
}

}  // namespace

bool DrawThemeFace(gfx::Surface& s, const ButtonLook& l, std::optional<gfx::Region>* region)
{
    s.fillRect({0, 0, l.width, l.height}, SystemColors::get(ButtonFace));
    if (!l.theme || s.isNull())
        return false;
    const int themeState = l.hasFocus && l.state == Normal ? Defaulted : l.state;
    if (l.roundedBordersByTheme && region) {
        // The style's panel covers its whole rectangle (-1, -1, W + 1, H + 1) on this platform.
        *region = gfx::Region::rect({0, 0, l.width, l.height});
    }
    const QImage before = s.image().copy(0, 0, l.width, l.height);
    {
        QPainter painter(&s.qimage());
        painter.setClipRect(QRect(0, 0, l.width, l.height));
        const QStyleOptionButton option = panelOption(l, themeState);
        l.theme->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, nullptr);
    }
    // A style that drew nothing has no push button to offer.
    return s.image().copy(0, 0, l.width, l.height) != before;
}

}  // namespace quarbel::themed
