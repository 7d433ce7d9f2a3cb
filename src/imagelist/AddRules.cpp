#include "imagelist/AddRules.h"

#include "imagelist/ImageFileCheck.h"
#include "imagelist/Paths.h"

#include <algorithm>

namespace quarbel::imagelist {

namespace {

void appendAccepted(QStringList& out, const QStringList& paths)
{
    std::copy_if(paths.cbegin(), paths.cend(), std::back_inserter(out),
                 [](const QString& p) { return ImageFileCheck(p); });
}

}  // namespace

QStringList folderImages(const QString& folder, Subfolders subfolders, const WalkProgress& progress)
{
    QStringList images;
    if (!folderExists(folder))
        return images;
    if (subfolders == Subfolders::Exclude) {
        for (const QString& name : folderFiles(folder, progress)) {
            const QString path = joinAlways(folder, name);
            if (ImageFileCheck(path))
                images.append(path);
        }
        return images;
    }
    QStringList collected;
    RecursiveDir(collected, folder, QStringLiteral("*.*"), Subfolders::Include, progress);
    appendAccepted(images, collected);
    return images;
}

QStringList droppedImages(const QStringList& names, Subfolders subfolders, const WalkProgress& progress)
{
    QStringList images;
    for (const QString& name : names) {
        images.append(folderImages(name, subfolders, progress));
        if (fileExists(name) && ImageFileCheck(name))
            images.append(name);
    }
    return images;
}

QStringList pastedImages(const QStringList& names)
{
    QStringList images;
    appendAccepted(images, names);
    return images;
}

QString firstAcceptedName(const QStringList& names)
{
    const auto it =
        std::find_if(names.cbegin(), names.cend(), [](const QString& n) { return ImageFileCheck(n); });
    return it == names.cend() ? QString() : *it;
}

}  // namespace quarbel::imagelist
