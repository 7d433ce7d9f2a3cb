#include "scrollbars/ScrollInfo.h"

#include <algorithm>
#include <limits>

namespace quarbel {

namespace {

int clampInt(long long v)
{
    return static_cast<int>(
        std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

ScrollInfo getScrollInfo(const QScrollBar& bar, unsigned mask)
{
    ScrollInfo info;
    info.mask = mask;
    if (mask & SifRange) {
        info.min = bar.minimum();
        info.max = clampInt(static_cast<long long>(bar.maximum()) + bar.pageStep());
    }
    if (mask & SifPage)
        info.page = bar.pageStep();
    if (mask & SifPos)
        info.pos = bar.value();
    if (mask & SifTrackPos)
        info.trackPos = bar.sliderPosition();
    return info;
}

void setScrollInfo(QScrollBar& bar, const ScrollInfo& info)
{
    if (info.mask & (SifRange | SifPage)) {
        const long long rangeMax =
            (info.mask & SifRange) ? info.max : static_cast<long long>(bar.maximum()) + bar.pageStep();
        const int min = (info.mask & SifRange) ? info.min : bar.minimum();
        const int page = (info.mask & SifPage) ? std::max(0, info.page) : bar.pageStep();
        bar.setPageStep(page);
        // A range shorter than a page leaves one position, the minimum.
        bar.setRange(min, clampInt(std::max<long long>(min, rangeMax - page)));
    }
    if (info.mask & SifPos)
        bar.setValue(info.pos);
}

}  // namespace quarbel
