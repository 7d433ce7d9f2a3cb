#pragma once
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace quarbel::imagelist {

// Shows a box-sized canvas in a widget (the window's preview box) by painting it in that
// widget's paint events; with no canvas the widget paints as it would on its own.
class PreviewBox : public QObject {
    Q_OBJECT
public:
    explicit PreviewBox(QWidget* box);

    QSize boxSize() const;           // the size the canvas should have: the widget's size
    void show(const QImage& canvas); // shown from its top-left corner, then repainted
    void clear();                    // empty box
    const QImage& canvas() const { return canvas_; }
    bool isEmpty() const { return canvas_.isNull(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> box_;
    QImage canvas_;
};

}  // namespace quarbel::imagelist
