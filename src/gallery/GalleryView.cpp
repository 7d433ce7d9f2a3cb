#include "gallery/GalleryView.h"

#include <QKeyEvent>
#include <QScrollBar>

namespace quarbel::gallery {

GalleryView::GalleryView(QWidget* parent) : QAbstractScrollArea(parent) { setFocusPolicy(Qt::StrongFocus); }

void GalleryView::setContent(QWidget* content)
{
    delete m_content;
    m_content = content;
    content->setParent(viewport());
    content->resize(content->sizeHint().expandedTo(content->minimumSizeHint()));
    content->move(0, 0);
    content->show();
    emit viewportResized();
}

QSize GalleryView::contentSize() const { return m_content ? m_content->size() : QSize(); }

void GalleryView::showAt(QPoint offset)
{
    if (m_content)
        m_content->move(-offset);
}

void GalleryView::scrollContentsBy(int, int) {}

void GalleryView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    emit viewportResized();
}

void GalleryView::keyPressEvent(QKeyEvent* event)
{
    // Arrows and Page Up/Down are the scroll area's; Home and End go to either end.
    if (event->modifiers() == Qt::NoModifier &&
        (event->key() == Qt::Key_Home || event->key() == Qt::Key_End)) {
        verticalScrollBar()->triggerAction(event->key() == Qt::Key_Home ? QAbstractSlider::SliderToMinimum
                                                                        : QAbstractSlider::SliderToMaximum);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

}  // namespace quarbel::gallery
