#include "imagelist/PreviewBox.h"

#include <QEvent>
#include <QPainter>
#include <cmath>

namespace quarbel::imagelist {

PreviewBox::PreviewBox(QWidget* box) : QObject(box), m_box(box)
{
    if (m_box)
        m_box->installEventFilter(this);
}

QSize PreviewBox::boxSize() const { return m_box ? m_box->size() : QSize(); }

qreal PreviewBox::devicePixelRatio() const { return m_box ? m_box->devicePixelRatioF() : 1.0; }

QSize PreviewBox::deviceBoxSize() const
{
    const QSize logical = boxSize();
    const qreal ratio = devicePixelRatio();
    return QSize(int(std::lround(logical.width() * ratio)), int(std::lround(logical.height() * ratio)));
}

void PreviewBox::show(const Picture& picture)
{
    QImage canvas = FitPicture(picture.image, picture.fullSize, deviceBoxSize());
    canvas.setDevicePixelRatio(devicePixelRatio());
    show(canvas);
}

void PreviewBox::show(const QImage& canvas)
{
    m_canvas = canvas;
    if (m_box)
        m_box->update();
}

void PreviewBox::clear() { show(QImage()); }

bool PreviewBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_box && event->type() == QEvent::Paint && !m_canvas.isNull()) {
        QPainter painter(m_box);
        painter.drawImage(QPoint(0, 0), m_canvas);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quarbel::imagelist
