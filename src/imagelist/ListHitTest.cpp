#include "imagelist/ListHitTest.h"

#include <QListWidget>

namespace quarbel::imagelist {

int GetRClickedItem(int first, int last, const std::function<QRect(int)>& itemRect, QPoint point)
{
    for (int i = first; i <= last; ++i) {
        const QRect r = itemRect(i);
        const int right = r.x() + r.width(), bottom = r.y() + r.height();
        if (r.x() <= point.x() && point.x() <= right && r.y() <= point.y() && point.y() <= bottom)
            return i;
    }
    return 0;
}

int GetRClickedItem(const QListWidget* MyList, QPoint point)
{
    if (!MyList)
        return -1;
    const int count = MyList->count();
    if (count == 0)
        return 0;
    const auto rect = [MyList](int i) { return MyList->visualItemRect(MyList->item(i)); };
    // Rows are stacked top to bottom, so when the point is on a row only that row and the
    // one above it (whose bottom edge is this row's top line) can hold it; trying those two
    // in order gives the same answer as trying every row from the first. Elsewhere (below the
    // last row, on an edge outside every row) every row is tried.
    const int row = MyList->indexAt(point).row();
    if (row >= 0)
        return GetRClickedItem(qMax(0, row - 1), row, rect, point);
    return GetRClickedItem(0, count - 1, rect, point);
}

}  // namespace quarbel::imagelist
