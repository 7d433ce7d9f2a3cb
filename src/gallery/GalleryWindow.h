#pragma once
// The gallery's window: one tab a control, each showing it in every style.

#include <QMainWindow>

namespace quarbel::gallery {

class GalleryWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit GalleryWindow(QWidget* parent = nullptr);
};

} // namespace quarbel::gallery
