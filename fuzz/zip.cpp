// The ZIP writer with hostile names and comments (any UTF-16, NULs, "..", "/", lengths past
// the format's 16 bits): an entry is refused exactly when a length does not fit; a written
// archive read by minizip holds every entry's stored name, comment and bytes, and the archive
// comment; an archive that is not written leaves the file that was there as it was.
#include "FuzzSupport.h"

#include "zip/ZipClass.h"

#include <minizip/unzip.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace quarbel;
using zip::Error;

namespace {

// In memory where there is such a file system: the archive is synced to disk when written.
QTemporaryDir& folder()
{
    static QTemporaryDir dir(
        (QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
        QStringLiteral("/quarbel-fuzz-zip-XXXXXX"));
    return dir;
}

// Text from the input: UTF-8 or raw UTF-16 (lone surrogates included), sometimes repeated
// past 65535 bytes.
QString takeText(FuzzedDataProvider& input)
{
    const std::string bytes = input.ConsumeRandomLengthString(64);
    const int kind = input.ConsumeIntegralInRange(0, 3);
    QString text = kind & 1 ? QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data()),
                                                 qsizetype(bytes.size() / 2))
                            : QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    if (kind & 2 && !text.isEmpty())
        text = text.repeated(65536 / text.size() + input.ConsumeIntegralInRange(-2, 2));
    return text;
}

QByteArray readEntry(unzFile archive, std::uint64_t size)
{
    QByteArray bytes(qsizetype(size), '\0');
    FUZZ_CHECK(unzOpenCurrentFile(archive) == UNZ_OK);
    FUZZ_CHECK(unzReadCurrentFile(archive, bytes.data(), unsigned(size)) == int(size));
    FUZZ_CHECK(unzCloseCurrentFile(archive) == UNZ_OK);  // the CRC-32 matches
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLibraries();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString source = folder().filePath(QStringLiteral("source")), archive = folder().filePath("a.zip");
    QFile::remove(archive);
    const bool existed = input.ConsumeBool();
    if (existed) {
        QFile old(archive);  // an empty file stands for an archive written before
        FUZZ_CHECK(old.open(QIODevice::WriteOnly));
    }
    zip::ZipClass zipper;
    std::vector<QByteArray> contents;
    for (int n = input.ConsumeIntegralInRange(0, 3); n > 0; --n) {
        const std::string content = input.ConsumeRandomLengthString(256);
        const QString name = takeText(input), comment = takeText(input);
        QFile file(source);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content.data(), qint64(content.size()));
        file.close();
        const zip::Result added = zipper.AddFile(source, name, comment);
        const bool fits = name.toUtf8().size() <= 0xFFFF && comment.toUtf8().size() <= 0xFFFF;
        FUZZ_CHECK(added.error == (content.empty() ? Error::SourceEmpty
                                   : fits          ? Error::None
                                                   : Error::NameTooLong));
        if (!added)
            continue;
        const zip::ZipFile& entry = zipper.entries().back();
        FUZZ_CHECK(entry.name() == (name.isEmpty() ? QByteArray("source") : name.toUtf8()));
        FUZZ_CHECK(entry.comment() == comment.toUtf8());
        contents.emplace_back(content.data(), qsizetype(content.size()));
    }
    const QString comment = takeText(input);
    zipper.SetComment(comment);
    const auto overwrite = input.ConsumeBool() ? zip::Overwrite::Refuse : zip::Overwrite::Replace;
    const zip::Result written = zipper.WriteZip(archive, overwrite);
    const bool commentFits = comment.toUtf8().size() <= 0xFFFF;
    FUZZ_CHECK(written.error == (!commentFits                                     ? Error::NameTooLong
                                 : existed && overwrite == zip::Overwrite::Refuse ? Error::TargetExists
                                                                                  : Error::None));
    if (!written) {
        FUZZ_CHECK(QFile::exists(archive) == existed && (!existed || QFileInfo(archive).size() == 0));
        return 0;
    }

    // The end record and the archive comment close the file.
    const QByteArray stored = comment.toUtf8();
    QFile file(archive);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll(), end = bytes.right(22 + stored.size());
    FUZZ_CHECK(end.size() == 22 + stored.size() && end.startsWith("PK\5\6") && end.endsWith(stored));
    FUZZ_CHECK(std::uint8_t(end[20]) == (stored.size() & 0xFF) &&
               std::uint8_t(end[21]) == stored.size() >> 8);
    FUZZ_CHECK(std::uint8_t(end[8]) == contents.size() && std::uint8_t(end[10]) == contents.size());
    // minizip looks for the end record in the last 65535 bytes only, and not at the very start.
    if (contents.empty() || end.size() > 0xFFFF)
        return 0;
    unzFile reader = unzOpen64(QFile::encodeName(archive).constData());
    FUZZ_CHECK(reader);
    unz_global_info64 global;
    FUZZ_CHECK(unzGetGlobalInfo64(reader, &global) == UNZ_OK && global.number_entry == contents.size());
    QByteArray text(0xFFFF + 1, '\0');
    FUZZ_CHECK(unzGetGlobalComment(reader, text.data(), 0xFFFF + 1) == int(stored.size()));
    FUZZ_CHECK(text.left(stored.size()) == stored);
    for (std::size_t i = 0; i < contents.size(); ++i) {
        FUZZ_CHECK((i == 0 ? unzGoToFirstFile(reader) : unzGoToNextFile(reader)) == UNZ_OK);
        unz_file_info64 info;
        QByteArray name(0xFFFF + 1, '\0'), entryComment(0xFFFF + 1, '\0');
        FUZZ_CHECK(unzGetCurrentFileInfo64(reader, &info, name.data(), 0xFFFF + 1, nullptr, 0,
                                           entryComment.data(), 0xFFFF + 1) == UNZ_OK);
        const zip::ZipFile& entry = zipper.entries()[i];
        FUZZ_CHECK(name.left(qsizetype(info.size_filename)) == entry.name());
        FUZZ_CHECK(entryComment.left(qsizetype(info.size_file_comment)) == entry.comment());
        const bool ascii =
            std::all_of(entry.name().begin(), entry.name().end(), [](char c) { return c >= 0; }) &&
            std::all_of(entry.comment().begin(), entry.comment().end(), [](char c) { return c >= 0; });
        FUZZ_CHECK(bool(info.flag & 0x800) == !ascii);
        FUZZ_CHECK(readEntry(reader, info.uncompressed_size) == contents[i]);
    }
    unzClose(reader);
    return 0;
}
