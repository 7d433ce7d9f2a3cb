#pragma once
// MS-DOS date and time, the form ZIP headers keep a file's modification stamp in:
//   date = day + month * 32 + (year - 1980) * 512
//   time = seconds / 2 + minutes * 32 + hours * 2048
// Only 1980-01-01 00:00:00 to 2107-12-31 23:59:58 can be expressed; a stamp outside that
// range is clamped to the nearest end rather than wrapping into an unrelated date.

#include <QDateTime>
#include <cstdint>

namespace quarbel::zip {

struct DosDateTime {
    std::uint16_t date = 0;
    std::uint16_t time = 0;
};

// From the stamp's local date and time (as a file manager shows it).
DosDateTime toDosDateTime(const QDateTime& stamp);

}  // namespace quarbel::zip
