#include "imagelist/FormatSize.h"

#include <array>
#include <cmath>

namespace quarbel::imagelist {

namespace {

constexpr qint64 KB = 1024;
constexpr qint64 MB = KB * 1024;
constexpr qint64 GB = MB * 1024;
constexpr qint64 TB = GB * 1024;

enum class Shown { TwoDecimals, OneDecimal, Floor };

struct Row {
    qint64 below;
    qint64 unit;
    Shown shown;
    const char* unitText;
};

constexpr std::array<Row, 10> rows = {{
    {10240, KB, Shown::TwoDecimals, " KB"},
    {102400, KB, Shown::OneDecimal, " KB"},
    {1024000, KB, Shown::Floor, " KB"},
    {10485760, MB, Shown::TwoDecimals, " MB"},
    {104857600, MB, Shown::OneDecimal, " MB"},
    {1048576000, MB, Shown::Floor, " MB"},
    {10737418240, GB, Shown::TwoDecimals, " GB"},
    {107374182400, GB, Shown::OneDecimal, " GB"},
    {1073741824000, GB, Shown::Floor, " GB"},
    {0, TB, Shown::TwoDecimals, " TB"},  // from 1000 GB on
}};

QString decimals(double value, int places, const QLocale& locale)
{
    const qint64 scale = places == 2 ? 100 : 10;
    const auto scaled = static_cast<qint64>(std::round(value * static_cast<double>(scale)));
    QString fraction = QString::number(scaled % scale).rightJustified(places, u'0');
    return QString::number(scaled / scale) + locale.decimalPoint() + fraction;
}

}  // namespace

QString FormatSize(qint64 size, const QLocale& locale)
{
    if (size < KB)
        return QString::number(size) + QLatin1String(" bytes");
    for (const Row& row : rows) {
        if (row.below != 0 && size >= row.below)
            continue;
        const double value = static_cast<double>(size) / static_cast<double>(row.unit);
        QString number;
        switch (row.shown) {
        case Shown::TwoDecimals: number = decimals(value, 2, locale); break;
        case Shown::OneDecimal: number = decimals(value, 1, locale); break;
        case Shown::Floor: number = QString::number(size / row.unit); break;
        }
        return number + QLatin1String(row.unitText);
    }
    return QString();  // not reached: the last row takes every size
}

QString nameText(const QString& fileName) { return QStringLiteral("Name: ") + fileName; }

QString dimensionsText(int width, int height)
{
    return QStringLiteral("Dimensions: %1 x %2").arg(width).arg(height);
}

QString sizeText(qint64 size, const QLocale& locale)
{
    return QStringLiteral("Size: ") + FormatSize(size, locale);
}

QString totalFilesText(qsizetype count) { return QStringLiteral("Total Files: ") + QString::number(count); }

}  // namespace quarbel::imagelist
