#pragma once
// The gallery's window: every control of the registry in every style and state on one page
// larger than the window, scrolled through cScrollBars (arrows, track, thumb, wheel, arrow
// keys, Page Up/Down, Home/End). The "Scroll bars" menu picks their look and shows whether
// they can be flat.

#include "scrollbars/cScrollBars.h"

#include <QMainWindow>
#include <array>

class QAction;

namespace quarbel::gallery {

class GalleryView;

class GalleryWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit GalleryWindow(QWidget* parent = nullptr);

    cScrollBars& scrollBars() { return m_bars; }
    GalleryView& view() { return *m_view; }

private:
    void fitBars();
    void follow();
    void showStyle(eStyle style);

    GalleryView* m_view = nullptr;
    cScrollBars m_bars;
    QAction* m_canBeFlat = nullptr;
    std::array<QAction*, 3> m_styleActions{};
};

}  // namespace quarbel::gallery
