// The command line's forms that the process tests do not reach: "--name=value", "--", the
// format names' case, sources mixed with options, and the lists of --files-from.

#include "cli/BatchOptions.h"
#include "cli/SourceLists.h"

#include <gtest/gtest.h>

namespace quarbel::testing {
namespace {

cli::BatchOptions parsed(const QStringList& arguments)
{
    const cli::ParseResult result = cli::parseArguments(arguments);
    if (const auto* error = std::get_if<cli::UsageError>(&result)) {
        ADD_FAILURE() << error->message.toStdString();
        return {};
    }
    return std::get<cli::BatchOptions>(result);
}

QString usageError(const QStringList& arguments)
{
    const cli::ParseResult result = cli::parseArguments(arguments);
    const auto* error = std::get_if<cli::UsageError>(&result);
    return error ? error->message : QString();
}

TEST(BatchOptionsTest, FormatNamesAreTheWindowsTextsWhateverTheCase)
{
    const struct {
        const char* given;
        const char* text;
    } cases[] = {{"jpg", "JPG"},   {"Png", "PNG"},   {"bmp", "BMP"},   {"GIF", "GIF"},
                 {"tiff", "TIFF"}, {"webp", "WEBP"}, {"Avif", "AVIF"}, {"jxl", "JXL"}};
    for (const auto& c : cases) {
        EXPECT_EQ(parsed({"convert", "--format", c.given, "a.png"}).format, c.text) << c.given;
    }
    EXPECT_FALSE(usageError({"convert", "--format", "tif", "a.png"}).isEmpty());
}

TEST(BatchOptionsTest, DefaultsAreTheWindowsInitialState)
{
    const cli::BatchOptions options = parsed({"convert", "a.png"});
    EXPECT_EQ(options.format, "JPG");
    EXPECT_EQ(options.quality, "75");
    EXPECT_EQ(options.width, "0");
    EXPECT_EQ(options.height, "0");
    EXPECT_FALSE(options.noOverwrite);
    EXPECT_EQ(options.subFolders, imagelist::Subfolders::Exclude);
    EXPECT_EQ(options.jobs, 0);
    EXPECT_EQ(options.metadata, jobs::Metadata::Keep);
    EXPECT_EQ(parsed({"convert", "--strip", "a.png"}).metadata, jobs::Metadata::Strip);
}

TEST(BatchOptionsTest, ValuesMayFollowAnEqualsSignAndSourcesMayComeAnywhere)
{
    const cli::BatchOptions options = parsed({"resize", "a.png", "--width=640", "--height=", "b",
                                              "--dest=/out dir", "--no-overwrite", "--", "--odd-name.jpg"});
    EXPECT_EQ(options.job, cli::JobKind::Resize);
    EXPECT_EQ(options.width, "640");
    EXPECT_EQ(options.height, "");  // an empty field is the Image Service's to interpret
    EXPECT_EQ(options.destination, "/out dir");
    EXPECT_TRUE(options.noOverwrite);
    EXPECT_EQ(options.sources, (QStringList{"a.png", "b", "--odd-name.jpg"}));
}

TEST(BatchOptionsTest, OnlyTheOfferedQualitiesAreAccepted)
{
    for (int quality = 5; quality <= 100; quality += 5) {
        EXPECT_EQ(parsed({"convert", "--quality", QString::number(quality), "a"}).quality,
                  QString::number(quality));
    }
    for (const char* quality : {"0", "1", "99", "105", "075", "", "high"}) {
        EXPECT_FALSE(usageError({"convert", "--quality", quality, "a"}).isEmpty()) << quality;
    }
}

TEST(BatchOptionsTest, SwitchesTakeNoValue)
{
    EXPECT_EQ(usageError({"convert", "--quiet=yes", "a"}), "option '--quiet' takes no value");
    EXPECT_EQ(usageError({"shrink", "a"}), "unknown command 'shrink' (use convert or resize)");
}

TEST(BatchOptionsTest, RefusalsNameTheOptionAsWritten)
{
    const struct {
        QStringList arguments;
        const char* error;
    } cases[] = {
        {{"convert", "--fast", "a"}, "unknown option '--fast'"},
        {{"convert", "-x", "a"}, "unknown option '-x'"},
        {{"convert", "--q", "a"}, "unknown option '--q'"},
        {{"convert", "a", "--dest"}, "option '--dest' needs a value"},
        {{"convert", "--help=yes"}, "option '--help' takes no value"},
        // Values are checked in the order given, before a later --help.
        {{"convert", "--quality", "33", "--help"}, "invalid quality '33' (use 5, 10, 15 ... 100)"},
        {{"convert", "--files-from=", "a"}, "option '--files-from' needs a list file"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(usageError(c.arguments), c.error) << c.arguments.join(' ').toStdString();
    }
}

TEST(BatchOptionsTest, HelpAndVersionNeedNoCommand)
{
    const struct {
        QStringList arguments;
        cli::InfoRequest request;
    } cases[] = {
        {{"-h"}, cli::InfoRequest::Help},
        {{"convert", "a", "--help", "--quality", "33"}, cli::InfoRequest::Help},
        {{"--version"}, cli::InfoRequest::Version},
    };
    for (const auto& c : cases) {
        const cli::ParseResult result = cli::parseArguments(c.arguments);
        const auto* request = std::get_if<cli::InfoRequest>(&result);
        ASSERT_NE(request, nullptr) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(*request, c.request) << c.arguments.join(' ').toStdString();
    }
}

TEST(BatchOptionsTest, ListsAreKeptInOrderAndALoneDashIsASource)
{
    const cli::BatchOptions options =
        parsed({"convert", "-", "--files-from", "one", "--null", "--files-from=-"});
    EXPECT_EQ(options.sourceLists, (QStringList{"one", "-"}));
    EXPECT_EQ(options.listSeparator, cli::ListSeparator::Nul);
    EXPECT_EQ(options.sources, QStringList{"-"});
    EXPECT_EQ(parsed({"convert", "a"}).listSeparator, cli::ListSeparator::Newline);
}

TEST(BatchOptionsTest, ListEntriesAreSplitAtTheirSeparatorOnly)
{
    using cli::ListSeparator;
    const struct {
        QByteArray bytes;
        ListSeparator separator;
        QStringList paths;
    } cases[] = {
        {"a.png\n\n b c.jpg \n", ListSeparator::Newline, {"a.png", " b c.jpg "}},
        {"no end", ListSeparator::Newline, {"no end"}},
        {QByteArray("line\nbreak.png\0\0x\0", 18), ListSeparator::Nul, {"line\nbreak.png", "x"}},
        {"\xc3\xa9t\xc3\xa9.png", ListSeparator::Newline, {QString::fromUtf8("\xc3\xa9t\xc3\xa9.png")}},
        {"", ListSeparator::Nul, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cli::splitSourceList(c.bytes, c.separator), c.paths) << c.bytes.toStdString();
    }
}

}  // namespace
}  // namespace quarbel::testing
