#include "gallery/GalleryWindow.h"

#include "gallery/GalleryPage.h"
#include "gallery/GalleryView.h"

#include <QActionGroup>
#include <QMenuBar>
#include <QScrollBar>

namespace quarbel::gallery {

namespace {

constexpr int LineStep = 20;  // pixels an arrow moves the page

}  // namespace

GalleryWindow::GalleryWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Quarbel control gallery"));
    m_view = new GalleryView(this);
    setCentralWidget(m_view);
    m_view->setContent(buildGalleryPage(m_view));

    m_bars.Create(m_view);
    m_bars.setOrientation(eOrientation::Both);
    m_bars.setSmallChange(eBar::Horizontal, LineStep);
    m_bars.setSmallChange(eBar::Vertical, LineStep);
    connect(&m_bars, &cScrollBars::Scroll, this, &GalleryWindow::follow);
    connect(&m_bars, &cScrollBars::Change, this, &GalleryWindow::follow);
    connect(m_view, &GalleryView::viewportResized, this, &GalleryWindow::fitBars);

    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Scroll bars"));
    auto* group = new QActionGroup(this);
    const char* const names[] = {"&Standard", "&Encarta", "&Flat"};
    for (int i = 0; i < 3; ++i) {
        QAction* action = menu->addAction(QString::fromLatin1(names[i]));
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, i] { showStyle(static_cast<eStyle>(i)); });
        m_styleActions[i] = action;
    }
    menu->addSeparator();
    m_canBeFlat = menu->addAction(QStringLiteral("Can be flat"));
    m_canBeFlat->setCheckable(true);
    m_canBeFlat->setEnabled(false);

    showStyle(eStyle::Flat);
    resize(640, 420);
    fitBars();
    m_view->setFocus();
}

void GalleryWindow::showStyle(eStyle style)
{
    m_bars.setStyle(style);
    const bool flat = m_bars.CanBeFlat();
    m_canBeFlat->setChecked(flat);
    for (int i = 0; i < 3; ++i) {
        m_styleActions[i]->setEnabled(flat || i == 0);
        m_styleActions[i]->setChecked(static_cast<int>(m_bars.Style()) == i);
    }
}

void GalleryWindow::fitBars()
{
    const QSize page = m_view->contentSize();
    const QSize seen = m_view->viewport()->size();
    m_bars.setLargeChange(eBar::Horizontal, seen.width());
    m_bars.setMax(eBar::Horizontal, std::max(0, page.width() - seen.width()));
    m_bars.setLargeChange(eBar::Vertical, seen.height());
    m_bars.setMax(eBar::Vertical, std::max(0, page.height() - seen.height()));
    follow();
}

void GalleryWindow::follow()
{
    m_view->showAt(QPoint(m_bars.Value(eBar::Horizontal), m_bars.Value(eBar::Vertical)));
}

}  // namespace quarbel::gallery
