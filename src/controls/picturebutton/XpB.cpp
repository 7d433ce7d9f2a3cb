#include "controls/picturebutton/XpB.h"

#include "controls/common/PropertyBag.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QUrl>

namespace quarbel {

namespace {
// Below this many pixels a side is grown back (10 pixels at 96 dots per inch).
constexpr int kMinimumSide = 10;
}  // namespace

XpB::XpB(QWidget* parent)
    : QAbstractButton(parent)
{
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(kMinimumSide, kMinimumSide);
    connect(this, &QAbstractButton::clicked, this, [this] {
        emit Click();
        GoToURL();
    });
}

void XpB::setCaption(const QString& caption)
{
    setText(caption);  // also sets the "&" access key
}

void XpB::setButtonStyle(int style)
{
    m_buttonStyle = style;
    update();
}

void XpB::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void XpB::setPicturePosition(int position)
{
    m_picturePosition = position;
    update();
}

void XpB::setShowFocusRect(bool show)
{
    m_showFocusRect = show;
    update();
}

void XpB::ReadProperties(const PropertyBag& bag)
{
    setCaption(bag.ReadProperty(QStringLiteral("Caption"), objectName()).toString());
    setPicturePosition(bag.ReadProperty(QStringLiteral("PicturePosition"), 1).toInt());
    setButtonStyle(bag.ReadProperty(QStringLiteral("ButtonStyle"), 2).toInt());
    m_pictureWidth = bag.ReadProperty(QStringLiteral("PictureWidth"), 32).toInt();
    m_pictureHeight = bag.ReadProperty(QStringLiteral("PictureHeight"), 32).toInt();
    setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    setShowFocusRect(bag.ReadProperty(QStringLiteral("ShowFocusRect"), true).toBool());
    setURL(bag.ReadProperty(QStringLiteral("URL"), QString()).toString());
}

QSize XpB::sizeHint() const
{
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, Caption());
    const int pictureWidth = m_picture.isNull() ? 0 : m_pictureWidth + 4;
    return QSize(text.width() + pictureWidth + 16, std::max(text.height(), m_pictureHeight) + 8);
}

void XpB::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    if (!m_showFocusRect)
        option.state &= ~QStyle::State_HasFocus;
    option.text = Caption();
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (!m_picture.isNull()) {
        option.icon = QIcon(m_picture);
        // The picture keeps to the content area inside the 4-pixel margin.
        const int side = std::max(0, std::min({m_pictureWidth, m_pictureHeight, height() - 8}));
        option.iconSize = QSize(side, side);
    }
    painter.drawControl(QStyle::CE_PushButton, option);
}

void XpB::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void XpB::GoToURL()
{
    if (!m_url.isEmpty())
        QDesktopServices::openUrl(QUrl::fromUserInput(m_url));
}

}  // namespace quarbel
