// Which files a source folder contributes, and in what order.

#include "TestImages.h"
#include "jobs/SourceWalk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quarbel::testing {
namespace {

using jobs::SubFolders;

struct NameCase {
    const char* name;
    bool accepted;
};

class ImageFileCheckTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ImageFileCheckTest, LastThreeCharactersDecideWithCase) {
    EXPECT_EQ(jobs::ImageFileCheck(GetParam().name), GetParam().accepted) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, ImageFileCheckTest,
    ::testing::Values(NameCase{"a.bmp", true}, NameCase{"a.BMP", true}, NameCase{"a.jpg", true},
                      NameCase{"/x/A.JPG", true}, NameCase{"a.png", true},
                      NameCase{"a.PNG", true}, NameCase{"a.gif", true}, NameCase{"a.GIF", true},
                      NameCase{"a.tif", true}, NameCase{"a.TIF", true},
                      NameCase{"xbmp", true},  // no dot needed
                      NameCase{"gif", true}, NameCase{"a.jpeg", false},
                      NameCase{"a.tiff", false}, NameCase{"a.jpe", false},
                      NameCase{"a.Jpg", false}, NameCase{"a.jPG", false}, NameCase{"if", false},
                      NameCase{"", false}, NameCase{"a.png ", false}));

TEST(TrailingSlashTest, AddsOneSeparatorOnlyWhenMissing) {
    EXPECT_EQ(jobs::TrailingSlash(""), "");
    EXPECT_EQ(jobs::TrailingSlash("/pics"), "/pics/");
    EXPECT_EQ(jobs::TrailingSlash("/pics/"), "/pics/");
    EXPECT_EQ(jobs::TrailingSlash("/"), "/");
}

class FolderImagesTest : public ::testing::Test {
protected:
    QTemporaryDir temp;
    QString root;

    void SetUp() override {
        root = temp.path() + "/pics";
        for (const char* name :
             {"b.JPG", "A.png", "B.gif", ".hidden.gif", "c.jpeg", "d.tif", "e.TIFF", "f.Png",
              "notes.txt", "sub2/z.png", "sub2/.h.png", "Sub1/y.bmp", "Sub1/deeper/x.jpg",
              "Sub1/deeper/a.jpg", ".secret/s.png", "sub2/t.gif"}) {
            const QString file = root + "/" + name;
            QDir().mkpath(QFileInfo(file).absolutePath());
            writeBytes(file, "bytes");
        }
        QDir().mkpath(root + "/folder.png");  // a folder is never an image file
    }
};

TEST_F(FolderImagesTest, WithoutSubFoldersTakesTheFoldersFilesHiddenIncludedInNameOrder) {
    const QStringList expected = {root + "/.hidden.gif", root + "/A.png", root + "/B.gif",
                                  root + "/b.JPG", root + "/d.tif"};
    EXPECT_EQ(jobs::folderImages(root, SubFolders::Exclude), expected);
}

TEST_F(FolderImagesTest, TheSeparatorIsAlwaysAddedWithoutSubFolders) {
    const QStringList found = jobs::folderImages(root + "/", SubFolders::Exclude);
    ASSERT_FALSE(found.isEmpty());
    EXPECT_EQ(found.first(), root + "//.hidden.gif");
}

TEST_F(FolderImagesTest, WithSubFoldersWalksDepthFirstSkippingHiddenEntries) {
    const QStringList expected = {root + "/A.png",        root + "/B.gif",
                                  root + "/b.JPG",        root + "/d.tif",
                                  root + "/Sub1/y.bmp",   root + "/Sub1/deeper/a.jpg",
                                  root + "/Sub1/deeper/x.jpg", root + "/sub2/t.gif",
                                  root + "/sub2/z.png"};
    EXPECT_EQ(jobs::folderImages(root, SubFolders::Include), expected);
    EXPECT_EQ(jobs::folderImages(root + "/", SubFolders::Include), expected);
}

TEST_F(FolderImagesTest, ALinkLoopIsWalkedOnce) {
    ASSERT_TRUE(QFile::link(root, root + "/Sub1/back"));
    const QStringList found = jobs::folderImages(root, SubFolders::Include);
    EXPECT_EQ(found.count(root + "/A.png"), 1);
    EXPECT_EQ(found.size(), 9);
}

TEST_F(FolderImagesTest, PipesAndMissingFoldersGiveNothing) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(root + "/pipe.png").constData(), 0600), 0);
    EXPECT_FALSE(jobs::folderImages(root, SubFolders::Exclude).contains(root + "/pipe.png"));
    EXPECT_TRUE(jobs::folderImages(root + "/nowhere", SubFolders::Exclude).isEmpty());
    EXPECT_TRUE(jobs::folderImages(root + "/nowhere", SubFolders::Include).isEmpty());
}

TEST_F(FolderImagesTest, RecursiveDirHonoursThePattern) {
    QStringList files{"kept"};
    jobs::RecursiveDir(files, root + "/Sub1", "*.JPG", SubFolders::Include);
    EXPECT_EQ(files, (QStringList{"kept", root + "/Sub1/deeper/a.jpg", root + "/Sub1/deeper/x.jpg"}));
}

}  // namespace
}  // namespace quarbel::testing
