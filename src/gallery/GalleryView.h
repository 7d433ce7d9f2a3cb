#pragma once
// The gallery's scrolling page: a scroll area whose content stays where it is told. It does
// not follow its own scroll bars; whoever drives them (the window, through cScrollBars) moves
// the content with showAt().

#include <QAbstractScrollArea>
#include <QPointer>

namespace quarbel::gallery {

class GalleryView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit GalleryView(QWidget* parent = nullptr);

    // Takes the widget as the page, at its preferred size.
    void setContent(QWidget* content);
    QWidget* content() const { return m_content; }
    QSize contentSize() const;
    // Shows the page from this point of it at the viewport's top-left corner.
    void showAt(QPoint offset);

signals:
    void viewportResized();

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPointer<QWidget> m_content;
};

}  // namespace quarbel::gallery
