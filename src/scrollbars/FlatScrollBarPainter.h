#pragma once
// Paints one Qt scroll bar in a flat look instead of its style's, while it is installed: it
// follows the part under the pointer and the pressed part, and draws the parts where the
// bar's style puts them, so the bar's own handling of the mouse stays as it was. Removing it
// (or Regular) gives the bar back to its style.

#include "scrollbars/FlatScrollBarDrawing.h"

#include <QObject>
#include <QPointer>
#include <QScrollBar>

namespace quarbel {

class FlatScrollBarPainter : public QObject {
    Q_OBJECT
public:
    explicit FlatScrollBarPainter(QScrollBar* bar);
    ~FlatScrollBarPainter() override;

    // False where a flat look cannot be painted: bars that the style fades in and out over
    // the content.
    static bool canPaint(const QScrollBar& bar);

    eStyle style() const { return m_style; }
    void setStyle(eStyle style);

    // Where the bar's style puts each part, in the bar's coordinates.
    static FlatScrollBarLook layout(const QScrollBar& bar);
    static ScrollPart partAt(const QScrollBar& bar, QPoint pos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paint();

    QPointer<QScrollBar> m_bar;
    eStyle m_style = eStyle::Regular;
    ScrollPart m_hot = ScrollPart::None;
    ScrollPart m_pressed = ScrollPart::None;
    bool m_hadHover = false;
};

}  // namespace quarbel
