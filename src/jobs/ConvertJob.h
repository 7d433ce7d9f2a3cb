#pragma once
// The convert job's target formats are the rows of the table of formats (formats/Formats.h)
// that the format list offers: its text, output extension, format identifier and whether the
// quality list's text is passed on.

#include "formats/Formats.h"

#include <QString>

namespace quarbel::jobs {

// The written row whose list text equals formatText exactly (case included), or null.
const formats::Row* findTargetFormat(const QString& formatText);

}  // namespace quarbel::jobs
