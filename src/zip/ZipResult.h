#pragma once
// What the ZIP writer's operations return: success, or the kind of failure and a reason a
// person can read. Nothing inside the writer throws past its interface.

#include <QString>

namespace quarbel::zip {

enum class Error {
    None,
    SourceMissing,     // no file at the source path (or it is a folder)
    SourceUnreadable,  // the file exists but could not be read completely
    SourceEmpty,       // the file holds no bytes: there is nothing to compress
    CompressFailed,    // zlib refused the data (out of memory)
    SpoolFailed,       // the compressed data could not be kept in the temporary store
    NameTooLong,       // a stored name or comment longer than its 16-bit length field
    EntryTooLarge,     // a size beyond the format's 32-bit fields (4 GiB)
    TooManyEntries,    // more entries than the 16-bit entry count holds
    ArchiveTooLarge,   // an offset or the central directory beyond 4 GiB
    TargetExists,      // the archive exists and the caller asked not to replace it
    TargetIsFolder,    // the archive path names a folder
    WriteFailed,       // the archive could not be written; an existing one is unchanged
    NothingToPack,     // packFiles was given no files
};

// Whether WriteZip may replace an archive that already exists.
enum class Overwrite { Refuse, Replace };

struct Result {
    Error error = Error::None;
    QString reason;

    explicit operator bool() const { return error == Error::None; }
    static Result success() { return {}; }
    static Result failure(Error error, QString reason) { return {error, std::move(reason)}; }
};

}  // namespace quarbel::zip
