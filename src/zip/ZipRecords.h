#pragma once
// The three fixed records of a ZIP archive, each written little-endian with no padding:
// the local file header (30 bytes), the central directory file header (46 bytes) and the
// end of central directory record (22 bytes). The constant fields carry the values this
// writer always stores; the variable-length name, extra field and comments follow each
// record and are written by the caller.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace quarbel::zip {

inline constexpr std::uint32_t kLocalSignature = 0x04034B50;
inline constexpr std::uint32_t kCentralSignature = 0x02014B50;
inline constexpr std::uint32_t kEndSignature = 0x06054B50;
inline constexpr int kLocalHeaderSize = 30;
inline constexpr int kCentralHeaderSize = 46;
inline constexpr int kEndRecordSize = 22;

inline constexpr std::uint16_t kVersion = 20;  // 2.0: deflate
inline constexpr std::uint16_t kMethodDeflate = 8;
inline constexpr std::uint16_t kFlagsDefault = 2;   // deflate option bits as always written
inline constexpr std::uint16_t kFlagUtf8 = 0x0800;  // bit 11: name and comment are UTF-8
// "Made by" for UTF-8 entries: version 2.0 on an NTFS host, whose attributes are the same
// DOS attributes as host 0's. Info-ZIP's unzip converts names from host 0 (MS-DOS) out of
// the OEM code page even when they are marked UTF-8, which garbles them.
inline constexpr std::uint16_t kVersionMadeByUtf8 = (10 << 8) | kVersion;
inline constexpr std::uint16_t kInternalAttributes = 0x0020;

// The fields that the local and the central header share.
struct EntryFields {
    std::uint16_t versionMadeBy = kVersion;  // central header only
    std::uint16_t flags = kFlagsDefault;
    std::uint16_t time = 0;  // MS-DOS time
    std::uint16_t date = 0;  // MS-DOS date
    std::uint32_t crc = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t uncompressedSize = 0;
    std::uint16_t nameLength = 0;
};

QByteArray localHeader(const EntryFields& fields);
QByteArray centralHeader(const EntryFields& fields, std::uint16_t commentLength,
                         std::uint32_t localHeaderOffset);

struct EndRecord {
    std::uint16_t entries = 0;
    std::uint32_t centralSize = 0;
    std::uint32_t centralOffset = 0;
    std::uint16_t commentLength = 0;
};
QByteArray endRecord(const EndRecord& record);

// Names and comments as stored: plain ASCII stays as it is; anything else is stored as
// UTF-8 and its entry is marked with kFlagUtf8, so unzip tools do not guess a code page.
QByteArray storedText(const QString& text);
bool isPlainAscii(const QByteArray& bytes);

}  // namespace quarbel::zip
