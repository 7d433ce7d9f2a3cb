#include "zip/ZipRecords.h"

#include <QtEndian>

namespace quarbel::zip {
namespace {

void put16(QByteArray& out, std::uint16_t value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray& out, std::uint32_t value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// From the flags to the extra field length, both headers hold the same fields.
void putShared(QByteArray& out, const EntryFields& f)
{
    put16(out, f.flags);
    put16(out, kMethodDeflate);
    put16(out, f.time);
    put16(out, f.date);
    put32(out, f.crc);
    put32(out, f.compressedSize);
    put32(out, f.uncompressedSize);
    put16(out, f.nameLength);
    put16(out, 0);  // extra field length
}

}  // namespace

QByteArray localHeader(const EntryFields& f)
{
    QByteArray out;
    out.reserve(kLocalHeaderSize);
    put32(out, kLocalSignature);
    put16(out, kVersion);  // version needed to extract
    putShared(out, f);
    return out;
}

QByteArray centralHeader(const EntryFields& f, std::uint16_t commentLength, std::uint32_t localHeaderOffset)
{
    QByteArray out;
    out.reserve(kCentralHeaderSize);
    put32(out, kCentralSignature);
    put16(out, f.versionMadeBy);
    put16(out, kVersion);  // version needed to extract
    putShared(out, f);
    put16(out, commentLength);
    put16(out, 0);  // disk number start
    put16(out, kInternalAttributes);
    put32(out, 0);  // external attributes
    put32(out, localHeaderOffset);
    return out;
}

QByteArray endRecord(const EndRecord& r)
{
    QByteArray out;
    out.reserve(kEndRecordSize);
    put32(out, kEndSignature);
    put16(out, 0);  // number of this disk
    put16(out, 0);  // disk with the central directory
    put16(out, r.entries);
    put16(out, r.entries);
    put32(out, r.centralSize);
    put32(out, r.centralOffset);
    put16(out, r.commentLength);
    return out;
}

QByteArray storedText(const QString& text) { return text.toUtf8(); }

bool isPlainAscii(const QByteArray& bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

}  // namespace quarbel::zip
