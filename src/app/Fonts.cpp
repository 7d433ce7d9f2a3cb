#include "app/Fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <cmath>

namespace quarbel::app {

namespace {

struct Substitute {
    const char* family;
    QStringList candidates;  // first installed one wins; all are registered as fallbacks
};

// Liberation Sans has Arial's metrics; MS Sans Serif's widths at its sizes are closest to it
// as well, DejaVu Sans is the fallback.
const Substitute kSubstitutes[] = {
    {"MS Sans Serif", {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}},
    {"Arial", {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}},
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
    for (const Substitute& s : kSubstitutes) {
        if (family.compare(QString::fromLatin1(s.family), Qt::CaseInsensitive) != 0)
            continue;
        for (const QString& candidate : s.candidates) {
            if (QFontDatabase::hasFamily(candidate)) {
                resolved = candidate;
                break;
            }
        }
    }
    QFont font(resolved);
    // The layout is in pixels at 96 dots per inch: 9.75 pt is 13 px, 9 pt is 12 px.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
    return font;
}

}  // namespace quarbel::app
