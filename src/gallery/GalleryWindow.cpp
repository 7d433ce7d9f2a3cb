#include "gallery/GalleryWindow.h"

#include "gallery/GalleryRegistry.h"

#include <QScrollArea>
#include <QTabWidget>

namespace quarbel::gallery {

GalleryWindow::GalleryWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Quarbel control gallery"));
    auto* tabs = new QTabWidget(this);
    for (const GalleryControl& control : galleryControls()) {
        auto* scroll = new QScrollArea(tabs);
        scroll->setWidget(control.showcase(scroll));
        scroll->setWidgetResizable(true);
        tabs->addTab(scroll, control.name);
    }
    setCentralWidget(tabs);
    resize(820, 520);
}

} // namespace quarbel::gallery
