#include "zip/ZipLimits.h"

#include "zip/ZipRecords.h"

namespace quarbel::zip {

Result checkEntry(std::uint64_t uncompressedSize, std::uint64_t compressedSize, std::uint64_t nameBytes,
                  std::uint64_t commentBytes)
{
    if (nameBytes > kMax16)
        return Result::failure(Error::NameTooLong,
                               QStringLiteral("the stored name is longer than 65535 bytes"));
    if (commentBytes > kMax16)
        return Result::failure(Error::NameTooLong,
                               QStringLiteral("the entry comment is longer than 65535 bytes"));
    if (uncompressedSize > kMax32 || compressedSize > kMax32)
        return Result::failure(Error::EntryTooLarge,
                               QStringLiteral("the file is too large for a ZIP archive (4 GiB or more)"));
    return Result::success();
}

Result checkLayout(const Layout& l)
{
    if (l.entries > kMaxEntries)
        return Result::failure(Error::TooManyEntries,
                               QStringLiteral("a ZIP archive holds at most 65535 files"));
    if (l.commentBytes > kMax16)
        return Result::failure(Error::NameTooLong,
                               QStringLiteral("the archive comment is longer than 65535 bytes"));
    // The central directory starts right after the last local part; every local header
    // offset is smaller than that, so this one check covers them all.
    if (l.localBytes > kMax32 || l.centralBytes > kMax32)
        return Result::failure(
            Error::ArchiveTooLarge,
            QStringLiteral("the archive would be too large for a ZIP archive (4 GiB or more)"));
    return Result::success();
}

std::uint64_t localPartSize(std::uint64_t nameBytes, std::uint64_t compressedSize)
{
    return kLocalHeaderSize + nameBytes + compressedSize;
}

std::uint64_t centralPartSize(std::uint64_t nameBytes, std::uint64_t commentBytes)
{
    return kCentralHeaderSize + nameBytes + commentBytes;
}

}  // namespace quarbel::zip
