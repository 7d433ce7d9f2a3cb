// The image list's path rules on fuzzed path text: separators, names, which names count as
// images, what a paste adds, wildcard matching, and the native form of a path.
#include "FuzzSupport.h"

#include "imagelist/AddRules.h"
#include "imagelist/FolderWalk.h"
#include "imagelist/ImageFileCheck.h"
#include "imagelist/Paths.h"

using namespace quarbel;
using namespace quarbel::imagelist;

namespace {

bool validUtf16(const QString& s) { return QString::fromUtf8(s.toUtf8()) == s; }

void checkOne(const QString& path, const QString& other)
{
    const QString slashed = TrailingSlash(path);
    FUZZ_CHECK(path.isEmpty() ? slashed.isEmpty() : slashed.endsWith(u'/') && slashed.startsWith(path));
    FUZZ_CHECK(slashed.size() - path.size() <= 1 && TrailingSlash(slashed) == slashed);

    const QString trimmed = withoutTrailingSlash(path);
    FUZZ_CHECK(path.startsWith(trimmed) && withoutTrailingSlash(trimmed) == trimmed);
    FUZZ_CHECK(trimmed == u"/" || !trimmed.endsWith(u'/'));
    FUZZ_CHECK(path.isEmpty() == trimmed.isEmpty());

    const QString name = fileName(path);
    FUZZ_CHECK(!name.contains(u'/') && path.endsWith(name));
    FUZZ_CHECK(joinAlways(path, name) == path + u'/' + name);
    FUZZ_CHECK(fileName(joinAlways(other, name)) == name);

    // Only the end of a name decides, and the three-letter endings need no dot.
    const bool image = ImageFileCheck(path);
    FUZZ_CHECK(path.size() < 5 || ImageFileCheck(other + path.right(5)) == image);
    FUZZ_CHECK(ImageFileCheck(path + QStringLiteral("jpg")) &&
               !ImageFileCheck(path + QStringLiteral(".jpeg")));

    FUZZ_CHECK(matchesFileSpec(path, QStringLiteral("*.*")) && matchesFileSpec(path, QStringLiteral("*")));

    if (validUtf16(path))
        FUZZ_CHECK(fromNative(toNative(path)) == path);
    // The file system's answers agree with each other (nothing is created or changed here).
    FUZZ_CHECK(!(fileExists(path) && folderExists(path)));
    FUZZ_CHECK((fileLength(path) >= 0) == fileExists(path) && stampOf(path).has_value() == fileExists(path));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Names separated by NULs, as UTF-8 (invalid sequences become U+FFFD) or UTF-16.
    const bool utf16 = size && data[0] & 1;
    const char* text = reinterpret_cast<const char*>(data);
    const QStringList names =
        (utf16 ? QString::fromUtf16(reinterpret_cast<const char16_t*>(text + 1), qsizetype((size - 1) / 2))
               : QString::fromUtf8(text, qsizetype(size)))
            .split(QChar(0));
    for (qsizetype i = 0; i < names.size(); ++i)
        checkOne(names[i], names[(i + 1) % names.size()]);

    // A wildcard pattern of any text (compiled each time: once per input keeps runs fast).
    (void)matchesFileSpec(names.first(), names.last());

    const QStringList pasted = pastedImages(names);
    FUZZ_CHECK(firstAcceptedName(names) == (pasted.isEmpty() ? QString() : pasted.first()));
    qsizetype next = 0;
    for (const QString& name : names)
        if (ImageFileCheck(name))
            FUZZ_CHECK(next < pasted.size() && pasted[next++] == name);
    FUZZ_CHECK(next == pasted.size());
    return 0;
}
