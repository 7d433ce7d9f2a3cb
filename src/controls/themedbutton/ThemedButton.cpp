#include "controls/themedbutton/ThemedButton.h"

#include "controls/common/PropertyBag.h"

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace quarbel {

namespace {
// Below this many pixels a button is grown back (20 pixels at 96 dots per inch).
constexpr int kMinimumSide = 20;
}  // namespace

ThemedButton::ThemedButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(kMinimumSide, kMinimumSide);
    connect(this, &QAbstractButton::clicked, this, &ThemedButton::Click);
}

void ThemedButton::setCaption(const QString& caption)
{
    setText(caption);
}

void ThemedButton::setStyle(int style)
{
    m_style = style;
    update();
}

ThemedButton::ButtonState ThemedButton::state() const
{
    if (!isEnabled())
        return ButtonState::Disabled;
    if (isDown())
        return ButtonState::Pressed;
    if (underMouse())
        return ButtonState::Hot;
    return ButtonState::Normal;
}

void ThemedButton::ReadProperties(const PropertyBag& bag)
{
    setStyle(bag.ReadProperty(QStringLiteral("Style"), 3).toInt());
    setCaption(bag.ReadProperty(QStringLiteral("Caption"), QStringLiteral("ThemedButton")).toString());
    setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    setToolTipText(bag.ReadProperty(QStringLiteral("ToolTipText"), QString()).toString());
    m_toolTipType = bag.ReadProperty(QStringLiteral("ToolTipType"), 1).toInt();
}

QSize ThemedButton::sizeHint() const
{
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, Caption());
    return QSize(text.width() + 16, text.height() + 10).expandedTo(minimumSizeHint());
}

QSize ThemedButton::minimumSizeHint() const
{
    return QSize(kMinimumSide, kMinimumSide);
}

void ThemedButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);  // enabled, focus and hover states, palette, font
    option.text = Caption();
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (isChecked())
        option.state |= QStyle::State_On;
    painter.drawControl(QStyle::CE_PushButton, option);
}

void ThemedButton::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

}  // namespace quarbel
