#include "QtTestApp.h"
#include "imagelist/FormatSize.h"

#include <gtest/gtest.h>

namespace quarbel::imagelist {
namespace {

struct SizeCase {
    qint64 bytes;
    const char* text;
};

class FormatSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(FormatSizeTest, PicksTheUnitAndDecimalsByRange)
{
    EXPECT_EQ(FormatSize(GetParam().bytes, QLocale::c()), QString::fromUtf8(GetParam().text))
        << GetParam().bytes;
}

constexpr qint64 KB = 1024, MB = KB * KB, GB = MB * KB, TB = GB * KB;

INSTANTIATE_TEST_SUITE_P(
    Ranges, FormatSizeTest,
    ::testing::Values(
        SizeCase{0, "0 bytes"}, SizeCase{1023, "1023 bytes"}, SizeCase{1024, "1.00 KB"},
        SizeCase{1536, "1.50 KB"}, SizeCase{10239, "10.00 KB"},  // 9.999 rounds up but keeps two decimals
        SizeCase{10240, "10.0 KB"}, SizeCase{102399, "100.0 KB"}, SizeCase{102400, "100 KB"},
        SizeCase{1023999, "999 KB"}, SizeCase{1024000, "0.98 MB"}, SizeCase{10 * MB - 1, "10.00 MB"},
        SizeCase{10485760, "10.0 MB"}, SizeCase{100 * MB, "100 MB"}, SizeCase{1048575999, "999 MB"},
        SizeCase{1048576000, "0.98 GB"}, SizeCase{3 * GB, "3.00 GB"}, SizeCase{10 * GB, "10.0 GB"},
        SizeCase{999 * GB, "999 GB"}, SizeCase{1000 * GB, "0.98 TB"}, SizeCase{5 * TB / 2, "2.50 TB"},
        // exact halves round away from zero: 1.125 KB and 10.25 KB
        SizeCase{1152, "1.13 KB"}, SizeCase{10496, "10.3 KB"}));

TEST(FormatSize, UsesTheLocalesDecimalSeparator)
{
    EXPECT_EQ(FormatSize(1536, QLocale(QLocale::German, QLocale::Germany)), "1,50 KB");
    EXPECT_EQ(FormatSize(1023, QLocale(QLocale::German, QLocale::Germany)), "1023 bytes");
}

TEST(StatusTexts, NameDimensionsSizeAndCount)
{
    EXPECT_EQ(nameText("a b.jpg"), "Name: a b.jpg");
    EXPECT_EQ(dimensionsText(1024, 768), "Dimensions: 1024 x 768");
    EXPECT_EQ(dimensionsText(123456, 7), "Dimensions: 123456 x 7");  // no digit grouping
    EXPECT_EQ(sizeText(1536, QLocale::c()), "Size: 1.50 KB");
    EXPECT_EQ(totalFilesText(3), "Total Files: 3");
    EXPECT_EQ(totalFilesText(40000), "Total Files: 40000");  // beyond any 16-bit count
}

}  // namespace
}  // namespace quarbel::imagelist
