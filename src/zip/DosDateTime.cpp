#include "zip/DosDateTime.h"

namespace quarbel::zip {
namespace {

constexpr int kFirstYear = 1980;
constexpr int kLastYear = kFirstYear + 127;  // seven bits of year

DosDateTime encode(int year, int month, int day, int hours, int minutes, int seconds)
{
    DosDateTime out;
    out.date = static_cast<std::uint16_t>(day + month * 32 + (year - kFirstYear) * 512);
    out.time = static_cast<std::uint16_t>(seconds / 2 + minutes * 32 + hours * 2048);
    return out;
}

}  // namespace

DosDateTime toDosDateTime(const QDateTime& stamp)
{
    if (!stamp.isValid())
        return encode(kFirstYear, 1, 1, 0, 0, 0);
    const QDateTime local = stamp.toLocalTime();
    const QDate d = local.date();
    const QTime t = local.time();
    if (d.year() < kFirstYear)
        return encode(kFirstYear, 1, 1, 0, 0, 0);
    if (d.year() > kLastYear)
        return encode(kLastYear, 12, 31, 23, 59, 58);
    return encode(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}

}  // namespace quarbel::zip
