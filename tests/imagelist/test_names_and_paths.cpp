#include "QtTestApp.h"
#include "imagelist/ImageFileCheck.h"
#include "imagelist/Paths.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

namespace quarbel::imagelist {
namespace {

struct NameCase {
    const char* name;
    bool accepted;
};

class ImageFileCheckTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ImageFileCheckTest, JudgesTheLastThreeCharactersWithCase)
{
    EXPECT_EQ(ImageFileCheck(QString::fromUtf8(GetParam().name)), GetParam().accepted) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ImageFileCheckTest,
    ::testing::Values(
        // every accepted ending, in both cases
        NameCase{"a.bmp", true}, NameCase{"a.BMP", true}, NameCase{"a.jpg", true}, NameCase{"a.JPG", true},
        NameCase{"a.png", true}, NameCase{"a.PNG", true}, NameCase{"a.gif", true}, NameCase{"a.GIF", true},
        NameCase{"a.tif", true}, NameCase{"a.TIF", true},
        // mixed case and longer extensions are not accepted
        NameCase{"a.Jpg", false}, NameCase{"a.jPG", false}, NameCase{"a.Png", false},
        NameCase{"a.jpeg", false}, NameCase{"a.tiff", false}, NameCase{"a.TIFF", false},
        NameCase{"a.jpe", false}, NameCase{"a.txt", false},
        // no dot is needed in front of the three characters
        NameCase{"xbmp", true}, NameCase{"gif", true}, NameCase{"/photos/folder.png", true},
        // shorter names and other endings
        NameCase{"if", false}, NameCase{"", false}, NameCase{"a.jpg ", false}, NameCase{"a.jpg/", false},
        NameCase{"photo.jpg.bak", false},
        // the newer formats' extensions, in any case, after a dot
        NameCase{"a.webp", true}, NameCase{"a.WEBP", true}, NameCase{"a.avif", true},
        NameCase{"/p/IMG_0001.HEIC", true}, NameCase{"a.Heic", true}, NameCase{"a.heif", true},
        NameCase{"webp", false}, NameCase{"xavif", false}, NameCase{"a.webp.txt", false},
        NameCase{"a.heics", false}, NameCase{"a.JXL", true}, NameCase{"logo.svg", true},
        NameCase{"doc.Pdf", true}, NameCase{"pdf", false}, NameCase{"a.svgz", true}));

TEST(TrailingSlash, AppendsOneSeparatorOnlyWhenMissing)
{
    EXPECT_EQ(TrailingSlash(""), "");
    EXPECT_EQ(TrailingSlash("/home/pics"), "/home/pics/");
    EXPECT_EQ(TrailingSlash("/home/pics/"), "/home/pics/");
    EXPECT_EQ(TrailingSlash("/"), "/");
    EXPECT_EQ(TrailingSlash("pics"), "pics/");
}

TEST(JoinAlways, AlwaysPutsOneSeparatorBetweenSoARootGivesTwo)
{
    EXPECT_EQ(joinAlways("/home/pics", "a.jpg"), "/home/pics/a.jpg");
    EXPECT_EQ(joinAlways("/", "a.jpg"), "//a.jpg");
    EXPECT_EQ(joinAlways("/home/pics/", "a.jpg"), "/home/pics//a.jpg");
}

TEST(WithoutTrailingSlash, DropsSeparatorsAtTheEndButKeepsTheRoot)
{
    EXPECT_EQ(withoutTrailingSlash("/home/pics/"), "/home/pics");
    EXPECT_EQ(withoutTrailingSlash("/home/pics//"), "/home/pics");
    EXPECT_EQ(withoutTrailingSlash("/home/pics"), "/home/pics");
    EXPECT_EQ(withoutTrailingSlash("/"), "/");
    EXPECT_EQ(withoutTrailingSlash(""), "");
}

TEST(FileQueries, TellFilesFoldersNamesAndLengths)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("näme with space.jpg");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(QByteArray(1536, 'x')), 1536);
    f.close();

    EXPECT_TRUE(fileExists(file));
    EXPECT_FALSE(folderExists(file));
    EXPECT_TRUE(folderExists(dir.path()));
    EXPECT_FALSE(fileExists(dir.path()));
    EXPECT_FALSE(fileExists(dir.filePath("missing.jpg")));
    EXPECT_FALSE(fileExists(""));
    EXPECT_FALSE(folderExists(""));

    EXPECT_EQ(fileLength(file), 1536);
    EXPECT_EQ(fileLength(dir.filePath("missing.jpg")), -1);
    EXPECT_EQ(fileLength(dir.path()), -1);

    EXPECT_EQ(fileName(file), "näme with space.jpg");
    EXPECT_EQ(fileName("//a.jpg"), "a.jpg");
    EXPECT_EQ(fileName("plain"), "plain");
    EXPECT_EQ(fromNative(toNative(file)), file);
}

TEST(FileQueries, LengthOfAFileOverTwoGigabytesIsItsRealSize)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile f(dir.filePath("big.tif"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const qint64 size = 3LL * 1024 * 1024 * 1024 + 5;  // sparse where the file system allows
    if (!f.resize(size))
        GTEST_SKIP() << "the temporary folder cannot hold a file this large";
    f.close();
    EXPECT_EQ(fileLength(f.fileName()), size);
}

}  // namespace
}  // namespace quarbel::imagelist
