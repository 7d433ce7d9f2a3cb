#include "imagelist/FolderWalk.h"

#include "imagelist/Paths.h"

#include <QRegularExpression>
#include <algorithm>
#include <filesystem>
#include <set>
#include <vector>

namespace quarbel::imagelist {

namespace fs = std::filesystem;

namespace {

enum class Kind { File, Folder, Other };

struct Entry {
    QString name;
    QString key;  // upper-cased name: the listing order compares these first
    Kind kind;
};

// Counts entries across the whole walk and reports every walkProgressStep of them.
class Ticker {
public:
    explicit Ticker(const WalkProgress& progress) : m_progress(progress) {}
    void tick()
    {
        ++m_seen;
        if (m_progress && m_seen % walkProgressStep == 0)
            m_progress(m_seen);
    }

private:
    const WalkProgress& m_progress;
    qsizetype m_seen = 0;
};

Kind kindOf(const fs::directory_entry& entry)
{
    std::error_code ec;
    const auto status = entry.status(ec);  // follows links, as a listing of the target would
    if (ec)
        return Kind::Other;
    if (fs::is_regular_file(status))
        return Kind::File;
    if (fs::is_directory(status))
        return Kind::Folder;
    return Kind::Other;
}

// The folder's entries in listing order. Stops quietly at the first read error.
std::vector<Entry> listFolder(const QString& folder, Ticker& ticker)
{
    std::vector<Entry> entries;
    std::error_code ec;
    fs::directory_iterator it(toNative(folder), fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const QString name = fromNative(it->path().filename());
        entries.push_back({name, name.toUpper(), kindOf(*it)});
        ticker.tick();
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (const int c = a.key.compare(b.key); c != 0)
            return c < 0;
        return a.name < b.name;
    });
    return entries;
}

bool isHidden(const QString& name) { return name.startsWith(u'.'); }

struct Walk {
    QStringList& out;
    QString pattern;
    Subfolders subfolders;
    Ticker ticker;
    std::set<fs::path> visited;

    void run(const QString& strFolder)
    {
        const QString folder = TrailingSlash(strFolder);
        std::error_code ec;
        const fs::path real = fs::canonical(toNative(folder), ec);
        if (ec || !visited.insert(real).second)
            return;
        const std::vector<Entry> entries = listFolder(folder, ticker);
        for (const Entry& e : entries)
            if (e.kind == Kind::File && !isHidden(e.name) && matchesFileSpec(e.name, pattern))
                out.append(folder + e.name);
        if (subfolders != Subfolders::Include)
            return;
        for (const Entry& e : entries)
            if (e.kind == Kind::Folder && !isHidden(e.name))
                run(folder + e.name);
    }
};

}  // namespace

QStringList folderFiles(const QString& folder, const WalkProgress& progress)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    Ticker ticker(progress);
    for (const Entry& e : listFolder(folder, ticker))
        if (e.kind == Kind::File)
            names.append(e.name);
    return names;
}

bool matchesFileSpec(const QString& name, const QString& strFileSpec)
{
    if (strFileSpec == QLatin1String("*.*") || strFileSpec == QLatin1String("*"))
        return true;
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(strFileSpec),
                                QRegularExpression::CaseInsensitiveOption);
    return re.match(name).hasMatch();
}

void RecursiveDir(QStringList& colFiles, const QString& strFolder, const QString& strFileSpec,
                  Subfolders bIncludeSubfolders, const WalkProgress& progress)
{
    if (strFolder.isEmpty())
        return;
    Walk walk{colFiles, strFileSpec, bIncludeSubfolders, Ticker(progress), {}};
    walk.run(strFolder);
}

}  // namespace quarbel::imagelist
