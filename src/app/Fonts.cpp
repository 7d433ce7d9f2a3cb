#include "app/Fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <cmath>

namespace quarbel::app {

namespace {

struct Substitute {
    const char* family;
    QStringList candidates;  // first installed one wins; all are registered as fallbacks
    double scale;            // of the pixel size, so that the layout's captions fit
};

// Liberation Sans has Arial's metrics. MS Sans Serif is a bitmap face that sets narrower than
// Arial at the same size: Liberation Sans one pixel smaller (12 px for 9.75 pt) keeps every
// caption of the layout inside its box. DejaVu Sans is the fallback.
const Substitute kSubstitutes[] = {
    {"MS Sans Serif", {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}, 12.0 / 13.0},
    {"Arial", {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}, 1.0},
};

}  // namespace

void installFontSubstitutes()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    for (const Substitute& s : kSubstitutes)
        QFont::insertSubstitutions(QString::fromLatin1(s.family), s.candidates);
}

QFont layoutFont(const QString& family, double points)
{
    installFontSubstitutes();
    QString resolved = family;
    double scale = 1.0;
    for (const Substitute& s : kSubstitutes) {
        if (family.compare(QString::fromLatin1(s.family), Qt::CaseInsensitive) != 0)
            continue;
        scale = s.scale;
        for (const QString& candidate : s.candidates) {
            if (QFontDatabase::hasFamily(candidate)) {
                resolved = candidate;
                break;
            }
        }
    }
    QFont font(resolved);
    // The layout is in pixels at 96 dots per inch: 9.75 pt is 13 px, 9 pt is 12 px.
    const long pixels = std::lround(std::lround(points * 96.0 / 72.0) * scale);
    font.setPixelSize(std::max(1, static_cast<int>(pixels)));
    return font;
}

}  // namespace quarbel::app
