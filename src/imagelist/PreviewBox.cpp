#include "imagelist/PreviewBox.h"

#include <QEvent>
#include <QPainter>

namespace quarbel::imagelist {

PreviewBox::PreviewBox(QWidget* box) : QObject(box), box_(box)
{
    if (box_)
        box_->installEventFilter(this);
}

QSize PreviewBox::boxSize() const
{
    return box_ ? box_->size() : QSize();
}

void PreviewBox::show(const QImage& canvas)
{
    canvas_ = canvas;
    if (box_)
        box_->update();
}

void PreviewBox::clear()
{
    show(QImage());
}

bool PreviewBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == box_ && event->type() == QEvent::Paint && !canvas_.isNull()) {
        QPainter painter(box_);
        painter.drawImage(QPoint(0, 0), canvas_);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quarbel::imagelist
