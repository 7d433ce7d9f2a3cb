#pragma once
// A ZIP archive being put together: an ordered list of entries (ZipFile) and an archive
// comment. AddFile reads and compresses a file straight away, so the archive holds the file
// as it was then; WriteZip writes the archive into a temporary file beside the target and
// moves it into place only once it is complete, so an existing archive is either replaced by
// a whole new one or left as it was.
//
//   ZipClass zip;
//   zip.SetComment("made by ...");
//   if (auto r = zip.AddFile("/photos/a.jpg"); !r) report(r.reason);
//   if (auto r = zip.WriteZip("/photos/a.zip", Overwrite::Replace); !r) report(r.reason);

#include "zip/Spool.h"
#include "zip/ZipFile.h"
#include "zip/ZipResult.h"

#include <QString>
#include <vector>

namespace quarbel::zip {

class ZipClass {
public:
    ZipClass() = default;
    ZipClass(const ZipClass&) = delete;
    ZipClass& operator=(const ZipClass&) = delete;

    int FileCount() const { return static_cast<int>(m_entries.size()); }

    // The archive comment, written after the end record.
    void SetComment(const QString& comment);

    // Adds the file at filePath as the last entry. A non-empty fileName replaces the stored
    // name (kept exactly, separators included); a non-empty comment becomes the entry's
    // comment. A missing file, or one that cannot be read, adds nothing.
    Result AddFile(const QString& filePath, const QString& fileName = {}, const QString& comment = {});

    // Writes the archive to filePath. With Overwrite::Refuse an existing file there is left
    // untouched and the call fails.
    Result WriteZip(const QString& filePath, Overwrite overwrite);

    const std::vector<ZipFile>& entries() const { return m_entries; }

private:
    Result writeTo(QIODevice& out);

    Spool m_spool;
    std::vector<ZipFile> m_entries;
    QByteArray m_comment;
    std::uint64_t m_localBytes = 0;    // sum of the entries' local parts
    std::uint64_t m_centralBytes = 0;  // sum of the entries' central parts
};

}  // namespace quarbel::zip
