#include "app/Numbers.h"

#include <QRegularExpression>
#include <cfenv>
#include <cmath>

namespace quarbel::app {

std::optional<long long> roundHalfEven(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > 9.0e18)
        return std::nullopt;
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previous);
    return static_cast<long long>(rounded);
}

double leadingNumber(const QString& text)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0.0;
    return match.captured(1).toDouble();
}

std::optional<double> wholeNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || text.trimmed().isEmpty() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace quarbel::app
