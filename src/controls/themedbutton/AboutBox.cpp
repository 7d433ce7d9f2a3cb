#include "controls/themedbutton/AboutBox.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace quarbel::themed {

AboutBox::AboutBox(const QString& version) : QWidget(nullptr), m_version(version)
{
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(260, 150);
}

void AboutBox::present()
{
    setWindowTitle(QStringLiteral("About ThemedButton ") + m_version);
    show();
    raise();
}

QStringList AboutBox::lines() const
{
    return {QStringLiteral("ThemedButton"), QStringLiteral("Version ") + m_version,
            QStringLiteral("An owner-drawn push button for Quarbel Image Converter"),
            QStringLiteral("https://quarbel.example.org/themedbutton")};
}

QRect AboutBox::closeButtonRect() const { return {width() - 84, height() - 34, 72, 23}; }

void AboutBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QStringList text = lines();
    int y = 12;
    for (int i = 0; i < text.size(); ++i) {
        QFont f = font();
        f.setBold(i == 0);
        p.setFont(f);
        p.drawText(QRect(12, y, width() - 24, 20), Qt::AlignLeft | Qt::AlignVCenter, text[i]);
        y += 22;
    }
    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = closeButtonRect();
    button.text = QStringLiteral("Close");
    button.state |= m_pressed ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawControl(QStyle::CE_PushButton, &button, &p, this);
}

void AboutBox::mousePressEvent(QMouseEvent*)
{
    m_pressed = true;
    update();
}

void AboutBox::mouseReleaseEvent(QMouseEvent*)
{
    m_pressed = false;
    hide();
}

}  // namespace quarbel::themed
