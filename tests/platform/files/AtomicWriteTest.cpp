// Writing a file whole, through a file without a name and through the named stand-in used
// where a file system refuses unnamed files: the same results, and nothing else left in the
// folder either way.

#include "platform/files/AtomicWrite.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace quarbel::platform::files {
namespace {

namespace fs = std::filesystem;

class AtomicWrite : public ::testing::TestWithParam<TempKind> {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("quarbel-write-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string file(const std::string& name) const { return (m_dir / name).string(); }
    FileResult write(const std::string& name, const std::string& text, WriteMode mode) const
    {
        return writeFileAtomically(file(name), reinterpret_cast<const std::uint8_t*>(text.data()),
                                   text.size(), mode, GetParam());
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(file(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> all;
        for (const auto& entry : fs::directory_iterator(m_dir))
            all.push_back(entry.path().filename().string());
        std::sort(all.begin(), all.end());
        return all;
    }

    fs::path m_dir;
};

TEST_P(AtomicWrite, NewKeptAndReplacedFilesLeaveOnlyTheirNames)
{
    ASSERT_TRUE(write("a.bin", "first", WriteMode::FailIfExists));
    EXPECT_EQ(read("a.bin"), "first");

    const FileResult kept = write("a.bin", "second", WriteMode::FailIfExists);
    EXPECT_FALSE(kept);
    EXPECT_NE(kept.reason.find("a file exists"), std::string::npos) << kept.reason;
    EXPECT_EQ(read("a.bin"), "first");

    ::chmod(file("a.bin").c_str(), 0640);
    ASSERT_TRUE(write("a.bin", "third, longer", WriteMode::ReplaceExisting));
    EXPECT_EQ(read("a.bin"), "third, longer");
    struct stat st;
    ASSERT_EQ(::stat(file("a.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    ASSERT_TRUE(write("b.bin", "", WriteMode::ReplaceExisting));  // a new name in replace mode
    EXPECT_EQ(read("b.bin"), "");

    fs::create_directory(file("dir.bin"));
    for (WriteMode mode : {WriteMode::FailIfExists, WriteMode::ReplaceExisting}) {
        const FileResult r = write("dir.bin", "x", mode);
        EXPECT_FALSE(r);
        EXPECT_NE(r.reason.find("a folder exists"), std::string::npos) << r.reason;
    }
    EXPECT_EQ(names(), (std::vector<std::string>{"a.bin", "b.bin", "dir.bin"}));
}

// From a descriptor: the kernel copies the bytes; a source shorter than the size given fails
// the write and the file it was to replace stays as it was.
TEST_P(AtomicWrite, BytesFromADescriptorReplaceOnlyWhenAllArrived)
{
    std::string text(300 * 1024, '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = char(i * 7 + i / 1000);
    const int source = ::memfd_create("bytes", MFD_CLOEXEC);
    ASSERT_GE(source, 0);
    ASSERT_EQ(::write(source, text.data(), text.size()), ssize_t(text.size()));
    ASSERT_TRUE(write("old.bin", "old", WriteMode::FailIfExists));

    EXPECT_TRUE(writeFileAtomically(file("new.bin"), source, text.size(), WriteMode::FailIfExists, GetParam()));
    EXPECT_EQ(read("new.bin"), text);
    const FileResult cut =
        writeFileAtomically(file("old.bin"), source, text.size() + 1, WriteMode::ReplaceExisting, GetParam());
    EXPECT_FALSE(cut);
    EXPECT_EQ(read("old.bin"), "old");
    EXPECT_TRUE(writeFileAtomically(file("old.bin"), source, 5, WriteMode::ReplaceExisting, GetParam()));
    EXPECT_EQ(read("old.bin"), text.substr(0, 5));
    EXPECT_EQ(names(), (std::vector<std::string>{"new.bin", "old.bin"}));
    ::close(source);
}

INSTANTIATE_TEST_SUITE_P(Kinds, AtomicWrite, ::testing::Values(TempKind::PreferUnnamed, TempKind::Named),
                         [](const auto& info) {
                             return info.param == TempKind::Named ? std::string("Named")
                                                                  : std::string("Unnamed");
                         });

TEST(UnnamedFile, HasNoNameUntilLinkedAndCannotTakeAnExistingName)
{
    const fs::path dir = fs::temp_directory_path() / ("quarbel-unnamed-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    {
        UnnamedFile file(dir.string(), TempKind::PreferUnnamed, 0644);
        ASSERT_TRUE(file.isOpen());
        if (!file.isUnnamed())
            GTEST_SKIP() << "the temporary folder's file system refuses unnamed files";
        EXPECT_TRUE(fs::is_empty(dir));
        std::ofstream(dir / "taken") << "old";
        EXPECT_EQ(file.linkAs((dir / "taken").string()), EEXIST);
        EXPECT_EQ(file.linkAs((dir / "free").string()), 0);
    }
    EXPECT_TRUE(fs::exists(dir / "free"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
    fs::remove_all(dir);
}

// Files made ahead for a folder: the outputs are the same, new ones get the usual
// permissions though the spares were made private, and the spares not taken leave nothing.
TEST(SpareFiles, OutputsWrittenThroughSparesAreWholeAndLeaveNothingElse)
{
    const fs::path dir = fs::temp_directory_path() / ("quarbel-spares-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "gone");
    const mode_t mask = ::umask(022);
    int written = 0;
    {
        SpareFiles spares;
        // Written until one made ahead has been used: the thread that makes them may start late.
        for (; written < 2000 && (written < 8 || spares.madeAhead() == 0); ++written) {
            const std::string text = "picture " + std::to_string(written);
            ASSERT_TRUE(writeFileAtomically((dir / (std::to_string(written) + ".jpg")).string(),
                                            reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
                                            WriteMode::FailIfExists, TempKind::PreferUnnamed, &spares));
        }
        UnnamedFile probe(dir.string(), TempKind::PreferUnnamed, 0600);
        if (!probe.isUnnamed())
            GTEST_SKIP() << "the temporary folder's file system refuses unnamed files";
        EXPECT_GT(spares.madeAhead(), 0);

        fs::remove(dir / "gone");
        const std::string gone = (dir / "gone" / "a.jpg").string();
        const FileResult r = writeFileAtomically(gone, reinterpret_cast<const std::uint8_t*>("x"), 1,
                                                 WriteMode::FailIfExists, TempKind::PreferUnnamed, &spares);
        EXPECT_FALSE(r);
        EXPECT_NE(r.reason.find("No such file"), std::string::npos) << r.reason;
    }
    ::umask(mask);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        ++files;
        const int n = std::stoi(entry.path().stem().string());
        std::ifstream in(entry.path());
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "picture " + std::to_string(n));
        EXPECT_EQ(fs::status(entry.path()).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    }
    EXPECT_EQ(files, written);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace quarbel::platform::files
