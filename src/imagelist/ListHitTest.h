#pragma once
#include <QPoint>
#include <QRect>
#include <functional>

class QListWidget;

namespace quarbel::imagelist {

// The item a right-click at `point` falls on. Each item's rectangle counts with all four
// edges included (left..left+width, top..top+height), so on the line two items share the
// upper one wins; rows are tried from `first` upward. A point on no item gives 0, the first
// item (not -1): a click below the last item picks the first.
int GetRClickedItem(int first, int last, const std::function<QRect(int)>& itemRect, QPoint point);

// The same on a list widget, with point in its viewport's coordinates; -1 for no list.
int GetRClickedItem(const QListWidget* MyList, QPoint point);

}  // namespace quarbel::imagelist
