#pragma once
#include "imagelist/PictureLoader.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace quarbel::imagelist {

// Shows a box-sized canvas in a widget (the window's preview box) by painting it in that
// widget's paint events; with no canvas the widget paints as it would on its own. On a
// screen with a scale above 1 the canvas has the box's device pixels, so pictures keep
// their detail.
class PreviewBox : public QObject {
    Q_OBJECT
public:
    explicit PreviewBox(QWidget* box);

    QSize boxSize() const;        // the widget's size in logical pixels
    QSize deviceBoxSize() const;  // the same in the screen's pixels
    qreal devicePixelRatio() const;

    void show(const Picture& picture);  // fitted into a canvas of the device box size
    void show(const QImage& canvas);    // shown from its top-left corner, then repainted
    void clear();                       // empty box
    const QImage& canvas() const { return m_canvas; }
    bool isEmpty() const { return m_canvas.isNull(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_box;
    QImage m_canvas;
};

}  // namespace quarbel::imagelist
