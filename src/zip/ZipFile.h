#pragma once
// One entry of a ZipClass archive: its source file's stamp, CRC-32 and sizes, the stored
// name and comment, and where its raw deflate data wait in the archive's spool. Written as a
// local part (header, name, data) and a central part (header, name, comment).

#include "zip/Spool.h"
#include "zip/ZipRecords.h"
#include "zip/ZipResult.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <cstdint>

namespace quarbel::zip {

class ZipFile {
public:
    // Reads the whole file, takes its modification stamp, computes its CRC-32, compresses it
    // into the spool and names the entry after the path's last component.
    Result SetSourcePath(const QString& path, Spool& spool);
    Result SetFileName(const QString& name);
    Result SetComment(const QString& comment);

    // Writes header, name and data; `offset` is where the header starts in the archive.
    Result WriteLocal(QIODevice& out, const Spool& spool, std::uint32_t offset);
    // Writes header, name and comment (after WriteLocal, which fixed the header's offset).
    Result WriteCentral(QIODevice& out) const;

    std::uint64_t localSize() const;
    std::uint64_t centralSize() const;

    const QByteArray& name() const { return m_name; }
    const QByteArray& comment() const { return m_comment; }
    const EntryFields& fields() const { return m_fields; }
    const Spool::Span& data() const { return m_data; }

private:
    void updateTextFields();

    EntryFields m_fields;
    QByteArray m_name;
    QByteArray m_comment;
    Spool::Span m_data;
    std::uint32_t m_localHeaderOffset = 0;
};

}  // namespace quarbel::zip
