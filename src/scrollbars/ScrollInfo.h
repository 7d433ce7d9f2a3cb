#pragma once
// A scroll bar's range, page and positions in the classic record's terms, read from and
// written to a Qt scroll bar. The record's range maximum is the last position plus a page:
// a Qt bar with maximum M and page step P has range maximum M + P, so the largest value a
// caller can set is the range maximum less the page.

#include <QScrollBar>

namespace quarbel {

enum ScrollInfoMask : unsigned { SifRange = 1, SifPage = 2, SifPos = 4, SifTrackPos = 16, SifAll = 23 };

struct ScrollInfo {
    unsigned mask = SifAll;
    int min = 0;
    int max = 0;  // range maximum
    int page = 0;
    int pos = 0;
    int trackPos = 0;  // where the thumb is while it is dragged
};

ScrollInfo getScrollInfo(const QScrollBar& bar, unsigned mask = SifAll);
// Writes the fields the mask names; the others keep their values. A negative page counts as
// none; the position is kept within the range. The track position is read-only.
void setScrollInfo(QScrollBar& bar, const ScrollInfo& info);

}  // namespace quarbel
