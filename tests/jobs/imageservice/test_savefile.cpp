// SaveFile: an existing file is never destroyed unless its replacement was written
// completely, and no partial or temporary file is ever left behind.

#include "TestImages.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace quarbel::imageservice::testing {
namespace {

ImageFile convertedPicture(const TempDir& dir, int width = 96, int height = 64)
{
    const std::string path = dir.file("source-" + std::to_string(width) + ".png");
    writeFile(path, encodeMaster(Kind::Png, width, height));
    ImageFile out;
    EXPECT_TRUE(convert(path, Kind::Bmp, out));
    return out;
}

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SaveFile, NewFileIsWrittenWithOrdinaryPermissions)
{
    TempDir dir;
    ImageFile picture = convertedPicture(dir);
    const std::string target = dir.file("out.bmp");
    ASSERT_TRUE(picture.SaveFile(target, SaveMode::FailIfExists));
    EXPECT_EQ(readFile(target), picture.FileData());
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"out.bmp", "source-96.png"}));
}

TEST(SaveFile, ExistingFileIsKeptWhenNotToBeReplaced)
{
    TempDir dir;
    ImageFile picture = convertedPicture(dir);
    const std::string target = dir.file("out.bmp");
    writeFile(target, Bytes{'o', 'l', 'd'});
    const Result r = picture.SaveFile(target, SaveMode::FailIfExists);
    EXPECT_FALSE(r);
    EXPECT_NE(r.reason.find("exists"), std::string::npos) << r.reason;
    EXPECT_EQ(readFile(target), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"out.bmp", "source-96.png"}));
}

TEST(SaveFile, DanglingLinkCountsAsExisting)
{
    TempDir dir;
    ImageFile picture = convertedPicture(dir);
    fs::create_symlink(dir.file("nowhere"), dir.file("link.bmp"));
    EXPECT_FALSE(picture.SaveFile(dir.file("link.bmp"), SaveMode::FailIfExists));
    EXPECT_FALSE(fs::exists(dir.file("nowhere")));
}

TEST(SaveFile, ReplacingSwapsInTheWholeNewFileAndKeepsPermissions)
{
    TempDir dir;
    ImageFile picture = convertedPicture(dir);
    const std::string target = dir.file("out.bmp");
    writeFile(target, Bytes(10, 'x'));
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(picture.SaveFile(target, SaveMode::ReplaceExisting));
    EXPECT_EQ(readFile(target), picture.FileData());
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"out.bmp", "source-96.png"}));
}

TEST(SaveFile, FolderAtTheTargetNameFailsInEitherMode)
{
    TempDir dir;
    ImageFile picture = convertedPicture(dir);
    fs::create_directory(dir.file("taken.bmp"));
    for (SaveMode mode : {SaveMode::FailIfExists, SaveMode::ReplaceExisting}) {
        const Result r = picture.SaveFile(dir.file("taken.bmp"), mode);
        EXPECT_FALSE(r);
        EXPECT_NE(r.reason.find("a folder exists at"), std::string::npos) << r.reason;
        EXPECT_TRUE(fs::is_directory(dir.file("taken.bmp")));
    }
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"source-96.png", "taken.bmp"}));
}

TEST(SaveFile, MissingFolderFailsWithTheSystemsReason)
{
    TempDir dir;
    ImageFile picture = convertedPicture(dir);
    const Result r = picture.SaveFile(dir.file("no/such/out.bmp"));
    EXPECT_FALSE(r);
    EXPECT_NE(r.reason.find(std::strerror(ENOENT)), std::string::npos) << r.reason;
}

// A small file system of its own, to run out of space or be read-only. Needs the right to
// mount, which the tests have when run as root on an ordinary machine.
class Mounted {
public:
    Mounted(const fs::path& where, const char* options) : m_where(where)
    {
        fs::create_directories(m_where);
        m_mounted = ::mount("tmpfs", m_where.c_str(), "tmpfs", 0, options) == 0;
        m_error = errno;
    }
    ~Mounted()
    {
        if (m_mounted)
            ::umount2(m_where.c_str(), MNT_DETACH);
    }
    bool ok() const { return m_mounted; }
    std::string why() const { return std::string("cannot mount a tmpfs here: ") + std::strerror(m_error); }
    bool makeReadOnly()
    {
        return ::mount("tmpfs", m_where.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    fs::path m_where;
    bool m_mounted = false;
    int m_error = 0;
};

TEST(SaveFile, FullDiskLeavesNeitherPartialFileNorTemporaryFile)
{
    TempDir dir;
    ImageFile picture = convertedPicture(dir, 400, 300);  // a BMP of about 360 KB
    Mounted small(dir.path() / "small", "size=64k");
    if (!small.ok())
        GTEST_SKIP() << small.why();
    const std::string old = (dir.path() / "small" / "old.bmp").string();
    writeFile(old, Bytes(1000, 'o'));

    for (const std::string& name : {std::string("new.bmp"), std::string("old.bmp")}) {
        const std::string target = (dir.path() / "small" / name).string();
        const Result r = picture.SaveFile(target, SaveMode::ReplaceExisting);
        EXPECT_FALSE(r);
        EXPECT_NE(r.reason.find(std::strerror(ENOSPC)), std::string::npos) << r.reason;
    }
    EXPECT_EQ(readFile(old), Bytes(1000, 'o'));
    EXPECT_EQ(namesIn(dir.path() / "small"), std::vector<std::string>{"old.bmp"});
}

TEST(SaveFile, ReadOnlyFolderFailsAndKeepsTheOldFile)
{
    TempDir dir;
    ImageFile picture = convertedPicture(dir);
    Mounted folder(dir.path() / "ro", "size=1m");
    if (!folder.ok())
        GTEST_SKIP() << folder.why();
    const std::string old = (dir.path() / "ro" / "old.bmp").string();
    writeFile(old, Bytes(5, 'o'));
    ASSERT_TRUE(folder.makeReadOnly());
    for (SaveMode mode : {SaveMode::FailIfExists, SaveMode::ReplaceExisting}) {
        EXPECT_FALSE(picture.SaveFile(old, mode));
        const Result r = picture.SaveFile((dir.path() / "ro" / "new.bmp").string(), mode);
        EXPECT_FALSE(r);
        EXPECT_NE(r.reason.find(std::strerror(EROFS)), std::string::npos) << r.reason;
    }
    EXPECT_EQ(readFile(old), Bytes(5, 'o'));
}

}  // namespace
}  // namespace quarbel::imageservice::testing
