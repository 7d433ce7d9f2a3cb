#pragma once
// Where an archive keeps its entries' compressed data between AddFile and WriteZip: a
// temporary file without a name, so a large batch does not hold every file in memory and
// nothing is left behind whatever ends the process.

#include "zip/ZipResult.h"

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <cstdint>
#include <memory>

namespace quarbel::zip {

class Spool {
public:
    struct Span {
        std::int64_t offset = 0;
        std::int64_t size = 0;
    };

    Spool();
    ~Spool();
    Spool(const Spool&) = delete;
    Spool& operator=(const Spool&) = delete;

    // Appends data and tells where it went.
    Result append(const QByteArray& data, Span& span);
    // Forgets everything from span on (the data of an entry that was not added after all).
    void discard(const Span& span);
    // Copies a span to out, in pieces.
    Result copyTo(const Span& span, QIODevice& out) const;

private:
    Result ensureOpen();
    std::unique_ptr<QFile> m_file;
    std::int64_t m_end = 0;
};

}  // namespace quarbel::zip
