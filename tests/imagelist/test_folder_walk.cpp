#include "QtTestApp.h"
#include "imagelist/AddRules.h"
#include "imagelist/FolderWalk.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <filesystem>

#include <sys/stat.h>

namespace quarbel::imagelist {
namespace {

// A folder tree made on disk for one test.
class Tree {
public:
    Tree() { EXPECT_TRUE(m_dir.isValid()); }
    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const { return root() + u'/' + relative; }
    void file(const QString& relative)
    {
        const QString p = path(relative);
        QDir().mkpath(p.left(p.lastIndexOf(u'/')));
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << p.toStdString();
        f.write("x");
    }
    void folder(const QString& relative) { ASSERT_TRUE(QDir().mkpath(path(relative))); }

private:
    QTemporaryDir m_dir;
};

QStringList under(const Tree& tree, const QStringList& relatives)
{
    QStringList out;
    for (const QString& r : relatives)
        out.append(tree.path(r));
    return out;
}

// Files and folders in an order unlike the expected one, with hidden ones at each level.
void fillSample(Tree& t)
{
    t.file("b.jpg");
    t.file("Zed.GIF");
    t.file("c.txt");
    t.file(".hidden.jpg");
    t.file("A.png");
    t.file("sub2/x.jpg");
    t.file("Sub1/y.tif");
    t.file("Sub1/deeper/z.bmp");
    t.file("Sub1/deeper/.h.bmp");
    t.file(".secret/s.jpg");
    t.folder("empty");
}

TEST(FolderFiles, ListsFilesOnlyHiddenIncludedInCaseInsensitiveOrder)
{
    Tree t;
    fillSample(t);
    EXPECT_EQ(folderFiles(t.root()), (QStringList{".hidden.jpg", "A.png", "b.jpg", "c.txt", "Zed.GIF"}));
    EXPECT_TRUE(folderFiles(t.path("missing")).isEmpty());
    EXPECT_TRUE(folderFiles("").isEmpty());
}

TEST(FolderFiles, OrderComparesUpperCaseNamesThenExactNames)
{
    Tree t;
    for (const char* name : {"b.jpg", "_x.jpg", "a.jpg", "A.jpg", "B10.jpg", "B2.jpg"})
        t.file(name);
    // "_" sorts after the letters once both are upper case; equal names differing in case
    // keep a fixed order, the exact name deciding.
    EXPECT_EQ(folderFiles(t.root()), (QStringList{"A.jpg", "a.jpg", "b.jpg", "B10.jpg", "B2.jpg", "_x.jpg"}));
}

TEST(RecursiveDir, WalksOwnFilesFirstThenSubfoldersDepthFirstSkippingHidden)
{
    Tree t;
    fillSample(t);
    QStringList col{"kept"};
    RecursiveDir(col, t.root(), "*.*", Subfolders::Include);
    EXPECT_EQ(col, QStringList{"kept"} + under(t, {"A.png", "b.jpg", "c.txt", "Zed.GIF", "Sub1/y.tif",
                                                   "Sub1/deeper/z.bmp", "sub2/x.jpg"}));
}

TEST(RecursiveDir, WithoutSubfoldersTakesOnlyTheFolderItself)
{
    Tree t;
    fillSample(t);
    QStringList col;
    RecursiveDir(col, t.root() + u'/', "*.*", Subfolders::Exclude);
    EXPECT_EQ(col, under(t, {"A.png", "b.jpg", "c.txt", "Zed.GIF"}));
}

TEST(RecursiveDir, PatternSelectsNamesCaseInsensitively)
{
    Tree t;
    fillSample(t);
    QStringList col;
    RecursiveDir(col, t.root(), "*.jpg", Subfolders::Include);
    EXPECT_EQ(col, under(t, {"b.jpg", "sub2/x.jpg"}));
    EXPECT_TRUE(matchesFileSpec("noextension", "*.*"));
    EXPECT_TRUE(matchesFileSpec("A.JPG", "*.jpg"));
    EXPECT_TRUE(matchesFileSpec("a1.png", "a?.png"));
    EXPECT_FALSE(matchesFileSpec("ab1.png", "a?.png"));
}

TEST(RecursiveDir, MissingFolderAddsNothing)
{
    Tree t;
    QStringList col{"kept"};
    RecursiveDir(col, t.path("missing"), "*.*", Subfolders::Include);
    RecursiveDir(col, "", "*.*", Subfolders::Include);
    EXPECT_EQ(col, QStringList{"kept"});
}

TEST(RecursiveDir, LinkBackToAnAncestorIsNotWalkedAgain)
{
    Tree t;
    t.file("a.jpg");
    t.file("in/b.jpg");
    std::error_code ec;
    std::filesystem::create_directory_symlink(t.root().toStdString(), t.path("in/loop").toStdString(), ec);
    ASSERT_FALSE(ec) << ec.message();
    QStringList col;
    RecursiveDir(col, t.root(), "*.*", Subfolders::Include);
    EXPECT_EQ(col, under(t, {"a.jpg", "in/b.jpg"}));
}

TEST(RecursiveDir, ReportsProgressEveryStepOfEntries)
{
    Tree t;
    const int files = int(walkProgressStep) * 2 + 10;
    for (int i = 0; i < files; ++i)
        t.file(QStringLiteral("f%1.jpg").arg(i, 4, 10, QChar(u'0')));
    std::vector<qsizetype> reports;
    QStringList col;
    RecursiveDir(col, t.root(), "*.*", Subfolders::Include,
                 [&reports](qsizetype seen) { reports.push_back(seen); });
    EXPECT_EQ(col.size(), files);
    EXPECT_EQ(reports, (std::vector<qsizetype>{walkProgressStep, 2 * walkProgressStep}));
    EXPECT_TRUE(col.first().endsWith("f0000.jpg"));
    EXPECT_TRUE(col.last().endsWith(QStringLiteral("f%1.jpg").arg(files - 1, 4, 10, QChar(u'0'))));
}

TEST(FolderImages, WithoutSubfoldersTakesHiddenImagesOfTheFolder)
{
    Tree t;
    fillSample(t);
    EXPECT_EQ(folderImages(t.root(), Subfolders::Exclude),
              under(t, {".hidden.jpg", "A.png", "b.jpg", "Zed.GIF"}));
}

TEST(FolderImages, WithSubfoldersSkipsHiddenFilesAndFolders)
{
    Tree t;
    fillSample(t);
    EXPECT_EQ(folderImages(t.root(), Subfolders::Include),
              under(t, {"A.png", "b.jpg", "Zed.GIF", "Sub1/y.tif", "Sub1/deeper/z.bmp", "sub2/x.jpg"}));
}

TEST(FolderImages, OnlyExactThreeLetterEndingsAreTaken)
{
    Tree t;
    for (const char* name : {"a.JPG", "b.jpeg", "c.Png", "d.tif", "e.TIFF"})
        t.file(name);
    EXPECT_EQ(folderImages(t.root(), Subfolders::Exclude), under(t, {"a.JPG", "d.tif"}));
}

TEST(FolderImages, AlwaysAppendsTheSeparatorWithoutSubfolders)
{
    Tree t;
    t.file("a.jpg");
    EXPECT_EQ(folderImages(t.root() + u'/', Subfolders::Exclude), QStringList{t.root() + "//a.jpg"});
    EXPECT_EQ(folderImages(t.root() + u'/', Subfolders::Include), QStringList{t.root() + "/a.jpg"});
    EXPECT_TRUE(folderImages(t.path("missing"), Subfolders::Exclude).isEmpty());
}

TEST(DroppedImages, FilesAndFoldersInDropOrder)
{
    Tree t;
    t.file("a.jpg");
    t.file("b.txt");
    t.file("dir/c.png");
    t.file("dir/d.jpeg");
    const QStringList dropped = under(t, {"a.jpg", "b.txt", "dir", "gone.jpg"});
    EXPECT_EQ(droppedImages(dropped, Subfolders::Exclude), under(t, {"a.jpg", "dir/c.png"}));
}

TEST(DroppedImages, TwoFoldersWithSubfoldersFollowEachOtherWithoutRepeats)
{
    Tree t;
    t.file("one/a.jpg");
    t.file("one/deep/b.jpg");
    t.file("two/c.gif");
    t.file("two/deep/d.bmp");
    EXPECT_EQ(droppedImages(under(t, {"two", "one"}), Subfolders::Include),
              under(t, {"two/c.gif", "two/deep/d.bmp", "one/a.jpg", "one/deep/b.jpg"}));
}

TEST(DroppedImages, AFolderWhoseNameLooksLikeAnImageIsOpenedNotAdded)
{
    Tree t;
    t.file("album.jpg/inside.png");
    EXPECT_EQ(droppedImages(under(t, {"album.jpg"}), Subfolders::Exclude),
              under(t, {"album.jpg/inside.png"}));
}

TEST(DroppedImages, APipeNamedLikeAPictureIsNeitherListedNorOpened)
{
    Tree t;
    t.file("real.jpg");
    ASSERT_EQ(::mkfifo(t.path("pipe.jpg").toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(folderImages(t.root(), Subfolders::Exclude), under(t, {"real.jpg"}));
    EXPECT_EQ(folderImages(t.root(), Subfolders::Include), under(t, {"real.jpg"}));
    EXPECT_EQ(droppedImages(under(t, {"pipe.jpg", "real.jpg"}), Subfolders::Exclude), under(t, {"real.jpg"}));
}

TEST(PastedImages, KeepsAcceptedNamesWithoutLookingAtTheDisk)
{
    const QStringList names{"/gone/x.png", "/some/folder", "/a/b.txt", "/pics.gif", "/y.JPG"};
    EXPECT_EQ(pastedImages(names), (QStringList{"/gone/x.png", "/pics.gif", "/y.JPG"}));
    EXPECT_EQ(firstAcceptedName(names), "/gone/x.png");
    EXPECT_EQ(firstAcceptedName({"/a/b.txt", "/folder"}), "");
    EXPECT_EQ(firstAcceptedName({}), "");
}

}  // namespace
}  // namespace quarbel::imagelist
