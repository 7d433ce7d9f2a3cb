#pragma once
#include <QRect>
#include <QSize>

namespace quarbel::imagelist {

enum class AspectRatio { Stretch, Keep };

// Rounds to the nearest whole number, halves to the even neighbour (61.5 gives 62, 46.5
// gives 46).
int roundHalfEven(double value);

// Where DrawScaled puts an image of size `image` in a canvas of size `box`. Stretch fills
// the box. Keep scales the picture up or down to the largest size that fits, centred: if
// the box is relatively wider than the picture the height fills the box, otherwise the
// width does; sizes and offsets are rounded half to even. A 4000 x 1000 picture in a
// 185 x 169 box is drawn 185 x 46 at top 62. An empty image or box gives an empty rect.
QRect DrawScaled(QSize image, QSize box, AspectRatio keepRatio);

}  // namespace quarbel::imagelist
