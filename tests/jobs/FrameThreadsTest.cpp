// The threads of a job: the writer finishes the file in hand however the frame is left, an
// item committed is never worked on again, and Cancel stops the work in flight part-way.

#include "JobTestBase.h"
#include "jobs/ItemPipeline.h"
#include "jobs/OutputWriter.h"
#include "jobs/ThreadBudget.h"
#include "formats/Formats.h"

#include <QFile>
#include <cstdlib>
#include <stdexcept>

namespace quarbel::testing {
namespace {

namespace is = quarbel::imageservice;
using jobs::JobSummary;
using jobs::MessageAnswer;

struct WaitInterrupted : std::runtime_error {
    WaitInterrupted() : std::runtime_error("waiting was interrupted") {}
};

// A front end whose waiting fails whenever there is something to wait for.
class ThrowingWaitView : public RecordingView {
public:
    void waitUntil(const std::function<bool()>& ready) override
    {
        if (!ready())
            throw WaitInterrupted();
    }
};

std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

TEST_F(JobTest, AWriteInHandIsFinishedWhenTheFrameIsLeftByAnException)
{
    const QString source = image("src/big.bmp", 1600, 1200);
    auto file = std::make_shared<is::ImageFile>();
    ASSERT_TRUE(file->LoadFile(nativePath(source)));
    const QString target = folder("out") + "/copy.bmp";
    try {
        jobs::OutputWriter writer([] {});
        writer.start(file, nativePath(target), is::SaveMode::FailIfExists);
        throw WaitInterrupted();
    } catch (const WaitInterrupted&) {
    }
    EXPECT_EQ(readBytes(target), readBytes(source));
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(JobTest, WaitingThatThrowsEndsTheRunWithOnlyCompleteOutputs)
{
    for (int i = 0; i < 4; ++i)
        in.list << image(QString("src/p%1.png").arg(i), 1200, 900);
    in.destination = folder("out");
    in.format = "BMP";
    ThrowingWaitView throwing;
    try {
        jobs::ConvertImages(in, throwing, {1});
    } catch (const WaitInterrupted&) {
    }
    const QStringList left = QDir(path("out")).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : left) {
        EXPECT_FALSE(name.startsWith('.')) << "temporary file left: " << name.toStdString();
        const ImageFacts facts = readImage(path("out/") + name);
        EXPECT_EQ(facts.kind, Kind::Bmp) << name.toStdString();
        EXPECT_EQ(facts.width, 1200) << name.toStdString();
        EXPECT_EQ(QFileInfo(path("out/") + name).size(), 54 + 1200 * 3 * 900) << name.toStdString();
    }
}

// Cancel is clicked the first time the frame waits for an item's work, that is while the
// first item is still being worked on.
class CancelWhileWorkingView : public RecordingView {
public:
    explicit CancelWhileWorkingView(FakeInputs& in) : m_in(in) {}
    void waitUntil(const std::function<bool()>& ready) override
    {
        if (!m_clicked) {
            m_clicked = true;
            m_in.cancel = true;
        }
        RecordingView::waitUntil(ready);
    }

private:
    FakeInputs& m_in;
    bool m_clicked = false;
};

class CancelDuringAnItemTest : public JobTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CancelDuringAnItemTest, YesStopsTheLargeItemPartWayAndWritesNothingOfIt)
{
    // 12 megapixels: seconds of decoding and encoding, where the question comes at once.
    in.list << image("src/large.tif", 4000, 3000) << image("src/small.png", 8, 6);
    in.destination = folder("out");
    in.format = GetParam();
    CancelWhileWorkingView working(in);
    working.answers = {MessageAnswer::Yes};

    const JobSummary summary = jobs::ConvertImages(in, working, {1});

    // Asked during the first item, before its progress; the cancelled text follows at once.
    const QStringList expected =
        preparationCalls(2) +
        QStringList{"controls enabled 0", "status 1 [Processing...]", "status 2 []", "status 3 []"} +
        cancelQuestion("Image Conversion") + cancelCalls(" Image conversion cancelled...");
    EXPECT_EQ(working.log, expected);
    EXPECT_EQ(summary.end, JobSummary::End::Cancelled);
    EXPECT_EQ(summary.stopped, 1) << "the item's work ran to its end instead of stopping";
    EXPECT_EQ(summary.written, 0);
    EXPECT_TRUE(QDir(path("out")).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Formats, CancelDuringAnItemTest, ::testing::Values("TIFF", "PNG"));

TEST_F(JobTest, NoDuringAnItemGoesOnWaitingAndWritesIt)
{
    in.list << image("src/a.png", 300, 200);
    in.destination = folder("out");
    in.format = "PNG";
    CancelWhileWorkingView working(in);
    working.answers = {MessageAnswer::No};

    const JobSummary summary = jobs::ConvertImages(in, working, {1});

    const QStringList expected =
        preparationCalls(1) +
        QStringList{"controls enabled 0", "status 1 [Processing...]", "status 2 []", "status 3 []"} +
        cancelQuestion("Image Conversion") +
        QStringList{"percent visible 1", "percent [100%]", "bar color 00ff00", "bar value 1", "events"} +
        completionCalls();
    EXPECT_EQ(working.log, expected);
    EXPECT_EQ(summary.written, 1);
    EXPECT_EQ(summary.stopped, 0);
    EXPECT_EQ(readImage(path("out/a.png")).width, 300);
}

// How many workers a convert job runs, and with how many threads each, by target format,
// cores and memory: AVIF one (aom takes every core), JPEG XL one per 4 GB of memory.
TEST(ThreadBudgetTest, WorkersFollowTheTargetFormatAndTheMachine)
{
    constexpr std::uint64_t kGiB = std::uint64_t(1) << 30;
    const struct {
        formats::Format format;
        int cores, jobs;
        std::uint64_t memory;
        int workers, threads;
    } cases[] = {
        {formats::Format::Jpeg, 2, 0, 24 * kGiB, 2, 1},  {formats::Format::Jpeg, 8, 3, 2 * kGiB, 3, 2},
        {formats::Format::Avif, 2, 0, 24 * kGiB, 1, 2},  {formats::Format::Avif, 8, 4, 64 * kGiB, 1, 8},
        {formats::Format::Jxl, 2, 0, 24 * kGiB, 2, 1},   {formats::Format::Jxl, 8, 0, 6 * kGiB, 1, 8},
        {formats::Format::Jxl, 8, 0, 16 * kGiB, 4, 2},   {formats::Format::Jxl, 8, 1, 16 * kGiB, 1, 8},
        {formats::Format::Jxl, 2, 0, 0, 1, 2},  // memory unknown
    };
    for (const auto& c : cases) {
        const formats::Row* row = formats::rowOf(c.format);
        ASSERT_NE(row, nullptr);
        SCOPED_TRACE(std::string(row->name) + ", " + std::to_string(c.cores) + " cores, " +
                     std::to_string(c.memory / kGiB) + " GB");
        const jobs::ThreadBudget budget =
            jobs::threadBudget(c.cores, c.jobs, jobs::mostWorkersFor(row->formatId, c.memory));
        EXPECT_EQ(budget.workers, c.workers);
        EXPECT_EQ(budget.threadsPerPicture, c.threads);
    }
}

TEST(ItemPipelineTest, AnItemTakenForCommittingIsNeverStartedAgain)
{
    is::ImageProcess process;
    jobs::ItemPipeline pipeline(process, 1);
    const QString missing = QStringLiteral("/nonexistent/a.png");
    pipeline.start(0, missing, {});
    const std::shared_ptr<jobs::ItemWork> work = pipeline.find(0);
    ASSERT_TRUE(work);
    jobs::waitWithEvents([&] { return work->done.load(); });
    ASSERT_EQ(pipeline.take(0), work);

    pipeline.start(0, missing, {});  // what a second fill for the committed item did
    EXPECT_EQ(pipeline.find(0), nullptr);
    EXPECT_EQ(pipeline.running(), 0);
    pipeline.start(1, missing, {});
    EXPECT_NE(pipeline.find(1), nullptr) << "later items still start";
    jobs::waitWithEvents([&] { return pipeline.idle(); });
}

// A program's first call into the engine may be LoadFile, which then starts libvips itself.
// The death test's "threadsafe" style runs this test again in a fresh process, where nothing
// else has started the engine (this test program starts it nowhere else).
TEST(EngineStart, LoadFileMayBeTheFirstCall)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            is::ImageFile file;
            std::exit(file.LoadFile("/nonexistent/a.png") ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace quarbel::testing
