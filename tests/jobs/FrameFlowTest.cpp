// The order and texts of the frame's steps: validation, progress, cancel and the end of a run.

#include "JobTestBase.h"

#include <QRegularExpression>

namespace quarbel::testing {
namespace {

using jobs::ItemOutcome;
using jobs::JobSummary;
using jobs::MessageAnswer;

enum class Job { Convert, Resize };
enum class Destination { Empty, Missing, AFile, Existing };

struct ValidationCase {
    const char* name;
    Job job;
    bool listFilled;
    const char* source;
    Destination destination;
    const char* width;
    const char* height;
    const char* expected;
};

class ValidationTest : public JobTest, public ::testing::WithParamInterface<ValidationCase> {};

TEST_P(ValidationTest, ShowsOnlyTheFirstFailingCheckAndChangesNothing)
{
    const ValidationCase& c = GetParam();
    if (c.listFilled)
        in.list = {image("src/a.png", 8, 8)};
    in.source = c.source;
    in.width = c.width;
    in.height = c.height;
    in.cancel = true;  // a refused job leaves the flag alone
    switch (c.destination) {
    case Destination::Empty: in.destination = ""; break;
    case Destination::Missing: in.destination = path("nowhere"); break;
    case Destination::AFile:
        in.destination = path("afile");
        writeBytes(in.destination, "x");
        break;
    case Destination::Existing: in.destination = folder("out"); break;
    }

    const JobSummary summary = c.job == Job::Convert ? convert() : resize();

    EXPECT_EQ(view.log, QStringList{QString("message [%1] [Error] Information Ok").arg(c.expected)});
    EXPECT_EQ(summary.end, JobSummary::End::Refused);
    EXPECT_EQ(view.jobEndedCalls, 1);
    EXPECT_TRUE(in.cancel);
    EXPECT_TRUE(QDir(path("out")).isEmpty());
}

const ValidationCase kValidationCases[] = {
    {"NothingChosen", Job::Convert, false, "", Destination::Empty, "0", "0",
     " Please select source directory."},
    {"NothingChosenResize", Job::Resize, false, "", Destination::Missing, "0", "0",
     " Please select source directory."},
    {"SourceTextButNoDestination", Job::Convert, false, "/pics", Destination::Empty, "0", "0",
     " Please select destination directory."},
    {"ListButNoDestination", Job::Convert, true, "", Destination::Empty, "0", "0",
     " Please select destination directory."},
    {"MissingDestination", Job::Convert, false, "/pics", Destination::Missing, "0", "0",
     "Destination directory does not exist. Please try again."},
    {"DestinationIsAFile", Job::Convert, true, "", Destination::AFile, "0", "0",
     "Destination directory does not exist. Please try again."},
    {"EmptyListConvert", Job::Convert, false, "/pics", Destination::Existing, "0", "0",
     " No image files to Convert. Please try again."},
    {"EmptyListResizeBeforeSize", Job::Resize, false, "/pics", Destination::Existing, "0", "0",
     " No image files to Resize. Please try again."},
    {"MissingDestinationBeforeSize", Job::Resize, true, "", Destination::Missing, "0", "0",
     "Destination directory does not exist. Please try again."},
    {"WidthZero", Job::Resize, true, "", Destination::Existing, "0", "600",
     " Invalid Image Width. Please try again."},
    {"WidthBeforeHeight", Job::Resize, true, "", Destination::Existing, "0", "0",
     " Invalid Image Width. Please try again."},
    {"HeightZero", Job::Resize, true, "", Destination::Existing, "800", "0",
     " Invalid Image Height. Please try again."},
};

INSTANTIATE_TEST_SUITE_P(Checks, ValidationTest, ::testing::ValuesIn(kValidationCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Only the one-character text "0" is refused: "00" and "" reach the Image Service, which
// takes such a side from the source.
TEST_F(JobTest, SizeTextsOtherThanZeroPassTheChecks)
{
    in.list = {image("src/a.png", 40, 30)};
    in.destination = folder("out");
    in.width = "00";
    in.height = "";
    const JobSummary summary = resize();
    ASSERT_EQ(view.log.value(0), "bar visible 1");
    EXPECT_EQ(summary.end, JobSummary::End::Finished);
    const ImageFacts facts = readImage(path("out/a.png"));
    EXPECT_EQ(facts.kind, Kind::Png);
    EXPECT_EQ(facts.width, 40);
    EXPECT_EQ(facts.height, 30);
}

struct ProgressCase {
    int count;
    QStringList percents;
    int jobs;
};

class ProgressTest : public JobTest, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(ProgressTest, EachItemShowsItsRoundedPercentageThenFinished)
{
    const ProgressCase& c = GetParam();
    for (int i = 0; i < c.count; ++i)
        in.list << image(QString("src/p%1.png").arg(i), 6, 4);
    in.destination = folder("out");
    in.cancel = true;  // cleared at preparation: no question comes

    const JobSummary summary = convert(c.jobs);

    QStringList expected = preparationCalls(c.count);
    for (int n = 1; n <= c.count; ++n)
        expected += itemCalls(n, c.percents[n - 1]);
    expected += completionCalls();
    EXPECT_EQ(view.log, expected);
    EXPECT_EQ(summary.end, JobSummary::End::Finished);
    EXPECT_EQ(summary.total, c.count);
    EXPECT_EQ(summary.written, c.count);
    EXPECT_FALSE(in.cancel);
    for (int i = 0; i < c.count; ++i) {
        EXPECT_EQ(readImage(path(QString("out/p%1.jpg").arg(i))).kind, Kind::Jpeg) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ProgressTest,
    ::testing::Values(ProgressCase{3, {"33", "67", "100"}, 1}, ProgressCase{3, {"33", "67", "100"}, 4},
                      // halves go to the even neighbour: 12.5 -> 12, 37.5 -> 38, 62.5 -> 62
                      ProgressCase{8, {"12", "25", "38", "50", "62", "75", "88", "100"}, 1},
                      ProgressCase{8, {"12", "25", "38", "50", "62", "75", "88", "100"}, 4}));

class CancelTest : public JobTest {
protected:
    void SetUp() override
    {
        for (const char* name : {"a", "b", "c"})
            in.list << image(QString("src/%1.png").arg(name), 6, 4);
        in.destination = folder("out");
    }
    bool written(const char* name) const { return QFileInfo::exists(path(QString("out/%1.jpg").arg(name))); }
};

TEST_F(CancelTest, YesBeforeTheNextItemEndsTheRunAndKeepsWhatWasWritten)
{
    view.afterItem[1] = [this] { in.cancel = true; };
    view.answers = {MessageAnswer::Yes};

    const JobSummary summary = convert(4);

    const QStringList expected = preparationCalls(3) + itemCalls(1, "33") +
                                 QStringList{"controls enabled 0"} + cancelQuestion("Image Conversion") +
                                 cancelCalls(" Image conversion cancelled...");
    EXPECT_EQ(view.log, expected);
    EXPECT_EQ(summary.end, JobSummary::End::Cancelled);
    EXPECT_EQ(summary.written, 1);
    EXPECT_TRUE(written("a"));
    // Work started ahead for later items is thrown away, never written.
    EXPECT_FALSE(written("b"));
    EXPECT_FALSE(written("c"));
    EXPECT_TRUE(in.cancel);
}

TEST_F(CancelTest, ResizeUsesItsOwnTitleAndText)
{
    in.width = "3";
    in.height = "2";
    view.afterItem[2] = [this] { in.cancel = true; };
    view.answers = {MessageAnswer::Yes};

    resize();

    const QStringList expected = preparationCalls(3) + itemCalls(1, "33") + itemCalls(2, "67") +
                                 QStringList{"controls enabled 0"} + cancelQuestion("Image Resizing") +
                                 cancelCalls(" Image resizing cancelled...");
    EXPECT_EQ(view.log, expected);
    EXPECT_TRUE(QFileInfo::exists(path("out/b.png")));
    EXPECT_FALSE(QFileInfo::exists(path("out/c.png")));
}

TEST_F(CancelTest, NoGoesOnAndTheQuestionReturnsOnlyAfterANewRequest)
{
    view.afterItem[1] = [this] { in.cancel = true; };
    view.answers = {MessageAnswer::No};

    const JobSummary summary = convert();

    const QStringList expected = preparationCalls(3) + itemCalls(1, "33") +
                                 itemCalls(2, "67", cancelQuestion("Image Conversion")) +
                                 itemCalls(3, "100") + completionCalls();
    EXPECT_EQ(view.log, expected);
    EXPECT_EQ(summary.written, 3);
    EXPECT_FALSE(in.cancel);
}

TEST_F(CancelTest, NoThenYesAfterASecondRequest)
{
    view.afterItem[1] = [this] { in.cancel = true; };
    view.afterItem[2] = [this] { in.cancel = true; };
    view.answers = {MessageAnswer::No, MessageAnswer::Yes};

    const JobSummary summary = convert(4);

    EXPECT_EQ(summary.end, JobSummary::End::Cancelled);
    EXPECT_TRUE(written("a"));
    EXPECT_TRUE(written("b"));
    EXPECT_FALSE(written("c"));
}

TEST_F(CancelTest, RequestAfterTheLastItemAsksNothingAndStaysSet)
{
    view.afterItem[3] = [this] { in.cancel = true; };

    const JobSummary summary = convert();

    const QStringList expected = preparationCalls(3) + itemCalls(1, "33") + itemCalls(2, "67") +
                                 itemCalls(3, "100") + completionCalls();
    EXPECT_EQ(view.log, expected);
    EXPECT_EQ(summary.end, JobSummary::End::Finished);
    EXPECT_TRUE(in.cancel);
}

TEST_F(JobTest, FailedItemsCountInTheProgressAndAreNamedAtTheEnd)
{
    in.list = {image("src/a.png", 6, 4), path("src/broken.png"), path("src/missing.gif"),
               image("src/d.bmp", 5, 5)};
    writeBytes(path("src/broken.png"), QByteArray("\x89PNG\r\n\x1a\n") + QByteArray(40, '\7'));
    in.destination = folder("out");

    const JobSummary summary = convert();

    const QStringList expected = preparationCalls(4) + itemCalls(1, "25") + itemCalls(2, "50") +
                                 itemCalls(3, "75") + itemCalls(4, "100") +
                                 completionCalls("Finished. 2 of 4 files failed.");
    EXPECT_EQ(view.log, expected);
    EXPECT_EQ(summary.written, 2);
    EXPECT_EQ(summary.failed, 2);
    ASSERT_EQ(summary.failures.size(), 2);
    EXPECT_EQ(summary.failures[0].source, path("src/broken.png"));
    EXPECT_EQ(summary.failures[1].source, path("src/missing.gif"));
    for (const jobs::ItemReport& failure : summary.failures) {
        EXPECT_EQ(failure.outcome, ItemOutcome::Failed);
        EXPECT_FALSE(failure.reason.trimmed().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(failure.output)) << failure.output.toStdString();
    }
    ASSERT_EQ(view.reports.size(), 4);
    EXPECT_EQ(view.reports[0].outcome, ItemOutcome::Written);
    EXPECT_EQ(view.reports[3].outcome, ItemOutcome::Written);
    EXPECT_EQ(summary.writtenFiles, (QStringList{path("out") + "/a.jpg", path("out") + "/d.jpg"}));
}

TEST_F(JobTest, DestinationChangedDuringTheRunTakesEffectFromTheNextItem)
{
    for (const char* name : {"a", "b", "c"})
        in.list << image(QString("src/%1.png").arg(name), 6, 4);
    in.destination = folder("first");
    const QString second = folder("second");
    view.afterItem[1] = [&] { in.destination = second; };

    const JobSummary summary = convert(4);

    EXPECT_TRUE(QFileInfo::exists(path("first/a.jpg")));
    EXPECT_FALSE(QFileInfo::exists(path("first/b.jpg")));
    EXPECT_FALSE(QFileInfo::exists(path("first/c.jpg")));
    EXPECT_EQ(readImage(path("second/b.jpg")).kind, Kind::Jpeg);
    EXPECT_EQ(readImage(path("second/c.jpg")).kind, Kind::Jpeg);
    EXPECT_FALSE(QFileInfo::exists(path("second/a.jpg")));
    EXPECT_EQ(summary.writtenFiles,
              (QStringList{path("first") + "/a.jpg", second + "/b.jpg", second + "/c.jpg"}));
}

struct ToggleCase {
    const char* name;
    bool keepAtStart;
    QList<ItemOutcome> outcomes;
};

class OverwriteToggleTest : public JobTest, public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(OverwriteToggleTest, OptionIsReadForEveryItem)
{
    const ToggleCase& c = GetParam();
    in.destination = folder("out");
    for (const char* name : {"a", "b", "c"}) {
        in.list << image(QString("src/%1.png").arg(name), 12, 9);
        writeBytes(path(QString("out/%1.jpg").arg(name)), "old content");
    }
    in.keepExisting = c.keepAtStart;
    view.afterItem[1] = [&] { in.keepExisting = !c.keepAtStart; };

    const JobSummary summary = convert(4);

    ASSERT_EQ(view.reports.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QString output = path(QString("out/%1.jpg").arg(QChar('a' + i)));
        EXPECT_EQ(view.reports[i].outcome, c.outcomes[i]) << i;
        if (c.outcomes[i] == ItemOutcome::Skipped) {
            EXPECT_EQ(readBytes(output), "old content") << i;
        } else {
            const ImageFacts facts = readImage(output);
            EXPECT_EQ(facts.kind, Kind::Jpeg) << i;
            EXPECT_EQ(facts.width, 12) << i;
        }
    }
    EXPECT_EQ(summary.failed, 0);
    EXPECT_EQ(view.log.value(view.log.size() - 5), "status 1 [Finished.]");
}

INSTANTIATE_TEST_SUITE_P(
    Toggles, OverwriteToggleTest,
    ::testing::Values(ToggleCase{"KeepFromItemTwo",
                                 false,
                                 {ItemOutcome::Written, ItemOutcome::Skipped, ItemOutcome::Skipped}},
                      ToggleCase{"ReplaceFromItemTwo",
                                 true,
                                 {ItemOutcome::Skipped, ItemOutcome::Written, ItemOutcome::Written}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quarbel::testing
