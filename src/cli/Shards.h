#pragma once
// --shard INDEX/COUNT: several processes, on one machine or many, share one list. Each takes
// the items of its share, in list order; together the shares hold every item exactly once.
// Items whose outputs would have one name are always in one share, so the list order still
// decides between them and the shares together write the files one process would write.

#include "cli/BatchOptions.h"
#include "jobs/JobHost.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace quarbel::cli {

// "INDEX/COUNT" in decimal digits, 0 <= INDEX < COUNT; nullopt for anything else.
std::optional<Shard> parseShard(const QString& text);

// The name the job gives an item's output in the destination folder: the source's base name
// with the format's extension (convert), or its file name (resize).
QString outputName(const BatchOptions& options, const QString& source);

// The share of each item (0 .. count-1), given the items' grouping keys: items with equal
// keys share a share.
QList<int> shareOfItems(const QStringList& keys, int count);

// The items of options.shard's share of the list, in list order (the whole list without one).
QStringList shareOf(const QStringList& list, const BatchOptions& options);

// The run of a share that holds none of the list's items: the destination is checked as the
// job checks it (refused, with the job's message, when it is unusable), then the run finishes
// having done nothing, which is no failure.
jobs::JobSummary runEmptyShare(jobs::JobInputs& inputs, jobs::JobView& view);

}  // namespace quarbel::cli
