#include "imagelist/Placement.h"

#include <cmath>

namespace quarbel::imagelist {

int roundHalfEven(double value)
{
    const double down = std::floor(value);
    const double fraction = value - down;
    double result = down;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(down, 2.0) != 0.0))
        result = down + 1.0;
    return static_cast<int>(result);
}

QRect DrawScaled(QSize image, QSize box, AspectRatio keepRatio)
{
    if (image.isEmpty() || box.isEmpty())
        return {};
    if (keepRatio == AspectRatio::Stretch)
        return QRect(QPoint(0, 0), box);
    const double imageRatio = double(image.width()) / double(image.height());
    const double boxRatio = double(box.width()) / double(box.height());
    int drawnWidth = 0, drawnHeight = 0;
    if (boxRatio < imageRatio) {
        drawnWidth = box.width();
        drawnHeight = roundHalfEven(box.width() / imageRatio);
    } else {
        drawnWidth = roundHalfEven(box.height() * imageRatio);
        drawnHeight = box.height();
    }
    const int left = roundHalfEven((box.width() - drawnWidth) / 2.0);
    const int top = roundHalfEven((box.height() - drawnHeight) / 2.0);
    return QRect(left, top, drawnWidth, drawnHeight);
}

}  // namespace quarbel::imagelist
