#include "zip/PackFiles.h"

#include "zip/ZipClass.h"

namespace quarbel::zip {

Result packFiles(const QStringList& files, const QString& archive, const QString& comment,
                 Overwrite overwrite)
{
    if (files.isEmpty())
        return Result::failure(Error::NothingToPack, QStringLiteral("%1: no files to pack").arg(archive));
    ZipClass zip;
    zip.SetComment(comment);
    for (const QString& file : files) {
        if (auto r = zip.AddFile(file); !r)
            return r;
    }
    return zip.WriteZip(archive, overwrite);
}

}  // namespace quarbel::zip
