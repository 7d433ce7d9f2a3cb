// Output names, path spellings and the rounded percentage.

#include "jobs/PathNames.h"
#include "jobs/Percent.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace quarbel::testing {
namespace {

TEST(PathNamesTest, FileAndBaseNames)
{
    const struct {
        const char* path;
        const char* file;
        const char* base;
    } cases[] = {
        {"/d/photos/Beach.PNG", "Beach.PNG", "Beach"},
        {"/d/a.b.gif", "a.b.gif", "a.b"},
        {"/d/noext", "noext", "noext"},
        {"//root.jpg", "root.jpg", "root"},
        {"relative.tif", "relative.tif", "relative"},
        {"/d.x/name", "name", "name"},
        {"/d/trailing.", "trailing.", "trailing"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(jobs::fileName(c.path), c.file) << c.path;
        EXPECT_EQ(jobs::baseName(c.path), c.base) << c.path;
    }
}

TEST(PathNamesTest, OutputPathAlwaysAddsTheSeparator)
{
    EXPECT_EQ(jobs::outputPath("/out", "a.jpg"), "/out/a.jpg");
    EXPECT_EQ(jobs::outputPath("/out/", "a.jpg"), "/out//a.jpg");
    EXPECT_EQ(jobs::outputPath("/", "a.jpg"), "//a.jpg");
}

TEST(PathNamesTest, SpellingsOfOneFileNormaliseAlike)
{
    QTemporaryDir temp;
    const QString dir = temp.path() + "/d";
    ASSERT_TRUE(QDir().mkpath(dir));
    ASSERT_TRUE(QFile::link(dir, temp.path() + "/link"));
    const QString expected = jobs::normalisedPath(dir + "/a.jpg");
    for (const QString& spelling :
         {dir + "//a.jpg", dir + "/./a.jpg", dir + "/../d/a.jpg", temp.path() + "/link/a.jpg"}) {
        EXPECT_EQ(jobs::normalisedPath(spelling), expected) << spelling.toStdString();
    }
    EXPECT_NE(jobs::normalisedPath(dir + "/A.jpg"), expected);
    for (const QString& folder : {dir, dir + "/", dir + "/.", temp.path() + "/link/"}) {
        EXPECT_EQ(jobs::normalisedFolder(folder) + "/a.jpg", expected) << folder.toStdString();
    }
    EXPECT_EQ(jobs::normalisedPath("//a.jpg"), "/a.jpg");
    EXPECT_EQ(jobs::normalisedFolder("/"), "/");
}

TEST(PercentTest, RoundsHalvesToTheEvenNeighbour)
{
    const struct {
        int n, count, percent;
    } cases[] = {
        {1, 3, 33},    {2, 3, 67},         {3, 3, 100},         {1, 8, 12}, {3, 8, 38}, {5, 8, 62},
        {7, 8, 88},    {1, 200, 0},        {3, 200, 2},         {1, 40, 2}, {3, 40, 8}, {1, 1, 100},
        {1, 32767, 0}, {16384, 32767, 50}, {32767, 32767, 100}, {1, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(jobs::percentOf(c.n, c.count), c.percent) << c.n << " of " << c.count;
    }
}

}  // namespace
}  // namespace quarbel::testing
