#pragma once
// --files-from: sources named in a file or on standard input, for lists longer than a
// command line may be.

#include "cli/BatchOptions.h"

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace quarbel::cli {

// The paths of a list, in order. Empty entries (a blank line, the end after the last
// separator) name nothing and are left out; everything else is kept byte for byte.
QStringList splitSourceList(const QByteArray& bytes, ListSeparator separator);

// Appends the sources of options.sourceLists, list by list, to options.sources. A list that
// cannot be read ends this with the reason; the sources stay as they were.
std::optional<UsageError> addListedSources(BatchOptions& options);

}  // namespace quarbel::cli
