#pragma once
// The layout's fonts ("MS Sans Serif", "Arial") mapped onto installed metric-compatible
// families, sized in pixels as the layout's points are at 96 dots per inch.

#include <QFont>
#include <QString>

namespace quarbel::app {

// Registers the substitutes with Qt (once; later calls do nothing).
void installFontSubstitutes();

// The font for a layout's family and point size.
QFont layoutFont(const QString& family, double points);

}  // namespace quarbel::app
