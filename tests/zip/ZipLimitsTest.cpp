// The format's limits and the MS-DOS stamp, through their own arithmetic: no test writes
// 4 GiB or 65536 files.

#include "ZipTestSupport.h"

#include "zip/DosDateTime.h"
#include "zip/ZipLimits.h"

namespace quarbel::zip::test {
namespace {

constexpr std::uint64_t k4GiB = std::uint64_t(1) << 32;

struct LayoutCase {
    const char* what;
    Layout layout;
    Error expected;
};

class ArchiveLimits : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ArchiveLimits, RefusesWhatTheFieldsCannotHold)
{
    const Result r = checkLayout(GetParam().layout);
    EXPECT_EQ(r.error, GetParam().expected);
    EXPECT_EQ(r.reason.isEmpty(), GetParam().expected == Error::None);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, ArchiveLimits,
    ::testing::Values(
        LayoutCase{"nothing", {0, 0, 0, 0}, Error::None},
        LayoutCase{"65535 entries", {65535, 1000, 1000, 0}, Error::None},
        LayoutCase{"65536 entries", {65536, 1000, 1000, 0}, Error::TooManyEntries},
        LayoutCase{"central directory at the last 32-bit offset", {1, k4GiB - 1, 100, 0}, Error::None},
        LayoutCase{"central directory at 4 GiB", {1, k4GiB, 100, 0}, Error::ArchiveTooLarge},
        LayoutCase{"central directory of 4 GiB", {60000, 1000, k4GiB, 0}, Error::ArchiveTooLarge},
        LayoutCase{"longest archive comment", {1, 100, 100, 65535}, Error::None},
        LayoutCase{"archive comment too long", {1, 100, 100, 65536}, Error::NameTooLong}),
    [](const auto& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST(EntryLimits, SizesNamesAndCommentsMustFitTheirFields)
{
    EXPECT_TRUE(checkEntry(k4GiB - 1, k4GiB - 1, 65535, 65535));
    EXPECT_EQ(checkEntry(k4GiB, 10, 5, 0).error, Error::EntryTooLarge);
    // Incompressible data near the limit grows beyond it while compressing.
    EXPECT_EQ(checkEntry(k4GiB - 1, k4GiB + 600000, 5, 0).error, Error::EntryTooLarge);
    EXPECT_EQ(checkEntry(10, 10, 65536, 0).error, Error::NameTooLong);
    EXPECT_EQ(checkEntry(10, 10, 5, 65536).error, Error::NameTooLong);
}

struct StampCase {
    QDateTime stamp;
    int year, month, day, hours, minutes, seconds;  // as stored
};

class DosStamp : public ::testing::TestWithParam<StampCase> {};

TEST_P(DosStamp, EncodesOrClampsTheLocalTime)
{
    const StampCase& c = GetParam();
    const DosDateTime dos = toDosDateTime(c.stamp);
    EXPECT_EQ(dos.date & 0x1F, c.day);
    EXPECT_EQ((dos.date >> 5) & 0x0F, c.month);
    EXPECT_EQ(dos.date >> 9, c.year - 1980);
    EXPECT_EQ((dos.time & 0x1F) * 2, c.seconds);
    EXPECT_EQ((dos.time >> 5) & 0x3F, c.minutes);
    EXPECT_EQ(dos.time >> 11, c.hours);
}

INSTANTIATE_TEST_SUITE_P(
    Stamps, DosStamp,
    ::testing::Values(StampCase{QDateTime(QDate(2024, 5, 17), QTime(13, 45, 37)), 2024, 5, 17, 13, 45, 36},
                      StampCase{QDateTime(QDate(1980, 1, 1), QTime(0, 0, 0)), 1980, 1, 1, 0, 0, 0},
                      StampCase{QDateTime(QDate(2107, 12, 31), QTime(23, 59, 59)), 2107, 12, 31, 23, 59, 58},
                      // Outside the range the nearest end is kept rather than a wrapped year.
                      StampCase{QDateTime(QDate(1979, 12, 31), QTime(23, 59, 59)), 1980, 1, 1, 0, 0, 0},
                      StampCase{QDateTime(QDate(1970, 1, 1), QTime(12, 0, 0)), 1980, 1, 1, 0, 0, 0},
                      StampCase{QDateTime(QDate(2108, 1, 1), QTime(0, 0, 0)), 2107, 12, 31, 23, 59, 58},
                      StampCase{QDateTime(), 1980, 1, 1, 0, 0, 0}));

}  // namespace
}  // namespace quarbel::zip::test
