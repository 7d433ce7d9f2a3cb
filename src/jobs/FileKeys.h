#pragma once
// Whether writing one path changes what reading another gives. Paths are compared by the
// file they name where it exists (device and inode), and otherwise by folder and name, the
// name under the folder's case rule: on a case-insensitive file system (an SD card's exFAT,
// a vfat stick) "A.JPG" and "a.jpg" are one file. A folder's rule is found by probing its
// entries and kept for the object's life; a folder with nothing to tell (an empty one) is
// taken as possibly case-insensitive and probed again later.

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

namespace quarbel::jobs {

enum class CaseRule { Unknown, Sensitive, Insensitive };

// Looks at the folder's entries: a name whose other case does not exist, or exists as an
// entry of its own, says sensitive; one whose other case opens the same file, insensitive.
// Unknown when no entry has letters (or the folder cannot be read).
CaseRule probeCaseRule(const QString& folder);

class FileKeys {
public:
    using Probe = std::function<CaseRule(const QString& folder)>;
    explicit FileKeys(Probe probe = probeCaseRule) : m_probe(std::move(probe)) {}

    // The keys of a path's folder and name: the exact name, and the case-folded name unless
    // the folder is known to be case-sensitive. Two paths with a key in common name one file.
    QStringList nameKeys(const QString& path);
    // The keys of a source: its own, and those of the file it links to.
    QStringList sourceKeys(const QString& path);
    // Whether two paths name one file: a key in common, or both exist and are one file.
    static bool sameFile(const QString& a, const QStringList& aKeys, const QString& b,
                         const QStringList& bKeys);
    // Whether putting a new file in place at `written` (whole, by a rename) can change what
    // reading `source` gives: a key in common, or both names alike but for case and one file (a
    // folder reached two ways). A hard link under another name keeps the old content, so no
    // look-up on disk is made for names that differ: cheap enough for many pairs.
    static bool rewrites(const QString& written, const QStringList& writtenKeys, const QString& source,
                         const QStringList& sourceKeys);

private:
    struct Folder {
        QString normalised;
        CaseRule rule = CaseRule::Unknown;
    };
    const Folder& folder(const QString& path);

    Probe m_probe;
    QHash<QString, Folder> m_folders;  // by the folder's text as given
};

}  // namespace quarbel::jobs
