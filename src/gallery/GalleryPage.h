#pragma once
// The page the gallery scrolls through: for every control of the registry a heading, its
// showcase (every style), and, where the control has states, the control in each of them.

#include <QWidget>

namespace quarbel::gallery {

// The sets of states the page shows a control in, "" being none.
const QStringList& shownStateSets();

// Each control's section is a child named after the control.
QWidget* buildGalleryPage(QWidget* parent);

}  // namespace quarbel::gallery
