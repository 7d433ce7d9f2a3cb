// One file under two spellings on a case-insensitive file system: the frame's comparison of
// what an item writes with what a later item reads, on a real FAT folder (mounted by the
// test where the system allows it) and through the case-rule seam everywhere.

#include "JobTestBase.h"
#include "jobs/FileKeys.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <filesystem>

namespace quarbel::testing {
namespace {

bool runs(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A small FAT file system in an image file, mounted by the kernel (loop device) or, where
// the kernel has no vfat, by fusefat. Needs root; unmounted at the end.
class FatFolder : public JobTest {
protected:
    void SetUp() override
    {
        const QString image = path("fat.img");
        mountPoint = folder("fat");
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(8 << 20))
            GTEST_SKIP() << "no image file for a FAT file system";
        file.close();
        if (!runs("mkfs.vfat", {image}))
            GTEST_SKIP() << "mkfs.vfat failed (dosfstools missing?)";
        if (runs("mount", {"-o", "loop", "-t", "vfat", image, mountPoint})) {
            unmount = {"umount", {mountPoint}};
        } else if (runs("fusefat",  // without attribute caching, coherent like the kernel's
                        {"-o", "rw+,attr_timeout=0,entry_timeout=0,negative_timeout=0", image, mountPoint})) {
            unmount = {"fusermount", {"-u", mountPoint}};
        } else {
            GTEST_SKIP() << "this system refuses to mount a FAT file system (needs root, and "
                            "vfat or FUSE)";
        }
    }
    void TearDown() override
    {
        if (!unmount.first.isEmpty() && !runs(unmount.first, unmount.second))
            runs("umount", {mountPoint});
    }
    QString fat(const QString& name) const { return mountPoint + "/" + name; }

    QString mountPoint;
    std::pair<QString, QStringList> unmount;
};

TEST_F(FatFolder, ProbesTellTheFoldersCaseRule)
{
    writeBytes(fat("Photo.png"), "x");
    folder("plain");
    writeBytes(path("plain/Photo.png"), "x");
    writeBytes(path("plain/PHOTO.PNG"), "y");  // a second file, not a second spelling
    folder("empty");
    EXPECT_EQ(jobs::probeCaseRule(mountPoint), jobs::CaseRule::Insensitive);
    EXPECT_EQ(jobs::probeCaseRule(path("plain")), jobs::CaseRule::Sensitive);
    EXPECT_EQ(jobs::probeCaseRule(path("empty")), jobs::CaseRule::Unknown);
}

// a.png is converted to a.jpg, which is A.JPG, the next item: it must read the new file.
TEST_F(FatFolder, LaterItemReadsWhatAnEarlierOneWroteUnderAnotherCase)
{
    in.list = {fat("a.png"), fat("A.JPG"), fat("b.png")};
    writeImage(in.list[0], 40, 20, Kind::Png);
    writeImage(in.list[1], 10, 10, Kind::Jpeg);
    writeImage(in.list[2], 8, 8, Kind::Png);
    in.destination = mountPoint;

    const jobs::JobSummary summary = convert(4);

    EXPECT_EQ(summary.written, 3);
    for (const jobs::ItemReport& failure : summary.failures)
        ADD_FAILURE() << failure.source.toStdString() << ": " << failure.reason.toStdString();
    const ImageFacts facts = readImage(fat("a.jpg"));
    EXPECT_EQ(facts.width, 40);
    EXPECT_EQ(facts.height, 20);
    EXPECT_EQ(summary.writtenFiles, QStringList({fat("A.jpg"), fat("b.jpg")}));
}

// The rule through the seam, on paths that do not exist (where only the rule can tell).
TEST(FileKeysTest, NamesCompareUnderTheFoldersCaseRuleAndFilesByIdentity)
{
    TempTree tree;
    const QString d = tree.folder("d");
    const struct {
        jobs::CaseRule rule;
        bool oneFile;
    } cases[] = {{jobs::CaseRule::Sensitive, false},
                 {jobs::CaseRule::Insensitive, true},
                 {jobs::CaseRule::Unknown, true}};  // an empty folder may yet ignore case
    for (const auto& c : cases) {
        jobs::FileKeys keys([&](const QString&) { return c.rule; });
        const QString upper = d + "/A.JPG", lower = d + "//./a.jpg";
        EXPECT_EQ(jobs::FileKeys::sameFile(upper, keys.nameKeys(upper), lower, keys.sourceKeys(lower)),
                  c.oneFile)
            << int(c.rule);
        EXPECT_TRUE(jobs::FileKeys::sameFile(upper, keys.nameKeys(upper), d + "/A.JPG",
                                             keys.sourceKeys(d + "/A.JPG")));
        EXPECT_FALSE(jobs::FileKeys::sameFile(upper, keys.nameKeys(upper), d + "/B.JPG",
                                              keys.sourceKeys(d + "/B.JPG")));
    }

    // Existing files: a link to the file, or a second name of it, is the same file.
    jobs::FileKeys keys([](const QString&) { return jobs::CaseRule::Sensitive; });
    writeBytes(d + "/x.jpg", "x");
    ASSERT_TRUE(QFile::link(d + "/x.jpg", d + "/link.jpg"));
    std::filesystem::create_hard_link(QFile::encodeName(d + "/x.jpg").toStdString(),
                                      QFile::encodeName(d + "/hard.jpg").toStdString());
    for (const char* name : {"link.jpg", "hard.jpg"}) {
        const QString other = d + "/" + name;
        EXPECT_TRUE(jobs::FileKeys::sameFile(d + "/x.jpg", keys.nameKeys(d + "/x.jpg"), other,
                                             keys.sourceKeys(other)))
            << name;
    }
}

}  // namespace
}  // namespace quarbel::testing
