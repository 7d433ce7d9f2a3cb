#include "cli/Shards.h"

#include "jobs/ConvertJob.h"
#include "jobs/JobFrame.h"
#include "jobs/PathNames.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <functional>
#include <queue>
#include <vector>

namespace quarbel::cli {
namespace {

bool isNumber(QStringView text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace

std::optional<Shard> parseShard(const QString& text)
{
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return std::nullopt;
    const QStringView index = QStringView(text).left(slash);
    const QStringView count = QStringView(text).mid(slash + 1);
    if (!isNumber(index) || !isNumber(count))
        return std::nullopt;
    bool indexOk = false;
    bool countOk = false;
    const Shard shard{index.toInt(&indexOk), count.toInt(&countOk)};
    if (!indexOk || !countOk || shard.count < 1 || shard.index >= shard.count)
        return std::nullopt;
    return shard;
}

// As ConvertImages and ResizeImages name their outputs; the parser has already made the
// format the format list's text.
QString outputName(const BatchOptions& options, const QString& source)
{
    if (options.job == JobKind::Resize)
        return jobs::fileName(source);
    const formats::Row* format = jobs::findTargetFormat(options.format);
    return jobs::baseName(source) + (format ? QLatin1String(format->extension) : QLatin1String());
}

// Items are grouped by key. The groups are ordered by a published hash of their key (SHA-1
// of its UTF-8, then the key itself), not by list order: two machines that list the same
// folders in a different order, or a list sorted again, still split alike. Then each group
// goes to the share holding the fewest items so far (the lowest share on a tie), so the
// shares differ by at most one group's size even on a short list; a share chosen by the hash
// alone splits 65 items into two 28 to 37 or worse one time in three.
QList<int> shareOfItems(const QStringList& keys, int count)
{
    QList<int> share(keys.size(), 0);
    if (count <= 1)
        return share;
    struct Group {
        QByteArray hash;
        QString key;
        QList<int> items;
    };
    std::vector<Group> groups;
    QHash<QString, qsizetype> groupOfKey;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        auto found = groupOfKey.constFind(keys[i]);
        if (found == groupOfKey.cend()) {
            found = groupOfKey.insert(keys[i], static_cast<qsizetype>(groups.size()));
            groups.push_back(
                {QCryptographicHash::hash(keys[i].toUtf8(), QCryptographicHash::Sha1), keys[i], {}});
        }
        groups[*found].items.append(static_cast<int>(i));
    }
    std::sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) {
        return a.hash != b.hash ? a.hash < b.hash : a.key < b.key;
    });

    using Load = std::pair<qsizetype, int>;  // items so far, share
    std::priority_queue<Load, std::vector<Load>, std::greater<Load>> lightest;
    for (int s = 0; s < count; ++s)
        lightest.push({0, s});
    for (const Group& group : groups) {
        const auto [load, s] = lightest.top();
        lightest.pop();
        for (const int item : group.items)
            share[item] = s;
        lightest.push({load + group.items.size(), s});
    }
    return share;
}

// Outputs are compared as the job compares them where the destination's file system ignores
// case ("A.jpg" and "a.jpg" are one file): the key is the case-folded output name, whatever
// the file system, so the split never depends on probing it. Names that differ only in case
// then share a share also where they are two files, which costs nothing. An item whose
// source lies in the destination under another item's output name has that output name too,
// so it waits for that item as it would in one process.
QStringList shareOf(const QStringList& list, const BatchOptions& options)
{
    if (!options.shard)
        return list;
    QStringList keys;
    keys.reserve(list.size());
    for (const QString& source : list)
        keys.append(outputName(options, source).toCaseFolded());
    const QList<int> share = shareOfItems(keys, options.shard->count);
    QStringList mine;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (share[i] == options.shard->index)
            mine.append(list[i]);
    }
    return mine;
}

jobs::JobSummary runEmptyShare(jobs::JobInputs& inputs, jobs::JobView& view)
{
    jobs::JobSummary summary;
    const QString destination = inputs.destinationText();
    const QString refusal = destination.isEmpty()             ? jobs::kNoDestinationMessage
                            : !QFileInfo(destination).isDir() ? jobs::kMissingDestinationMessage
                                                              : QString();
    if (!refusal.isEmpty()) {
        view.showMessage(refusal, jobs::kErrorTitle, jobs::MessageIcon::Information,
                         jobs::MessageButtons::Ok);
        summary.end = jobs::JobSummary::End::Refused;
    } else {
        view.setStatusText(1, jobs::kFinishedText);
        summary.end = jobs::JobSummary::End::Finished;
    }
    view.jobEnded(summary);
    return summary;
}

}  // namespace quarbel::cli
