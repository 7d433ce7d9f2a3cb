// A picture whose decoding takes over or kills its worker process fails that item only: the
// frame lists it with the reason, writes every other item as usual, and the picture's
// attempts change no file.

#include "JobTestBase.h"
#include "jobs/ItemPipeline.h"
#include "jobs/WorkerSettings.h"

#include <chrono>
#include <future>
#include <thread>

namespace quarbel::testing {
namespace {

class HostileItemTest : public JobTest {
protected:
    void SetUp() override { jobs::setWorkerProgram(QUARBEL_HOSTILE_WORKER); }
    void TearDown() override { jobs::setWorkerProgram(""); }
};

TEST_F(HostileItemTest, OnlyTheHostileItemsFailWithTheirReasons)
{
    const QString out = folder("out");
    const struct {
        const char* name;
        QByteArray hook;
        QString reason;
    } hostile[] = {
        {"crash.png", "crash", "the picture could not be decoded: the decoder stopped (signal 11)"},
        {"abort.png", "abort", "the picture could not be decoded: the decoder stopped (signal 6)"},
        {"write.png", "write " + QFile::encodeName(out + "/write.jpg"), "refused: Operation not permitted"},
    };
    for (const auto& h : hostile) {
        in.list << image(QString("src/before-%1").arg(h.name), 40, 30);
        in.list << path(QString("src/%1").arg(h.name));
        writeBytes(in.list.last(), "HOSTILE " + h.hook + "\n");
    }
    in.list << image("src/last.png", 40, 30);
    in.destination = out;
    in.format = "JPG";

    const jobs::JobSummary summary = convert(2);

    EXPECT_EQ(summary.end, jobs::JobSummary::End::Finished);
    ASSERT_EQ(summary.failures.size(), std::size(hostile));
    for (std::size_t i = 0; i < std::size(hostile); ++i) {
        EXPECT_EQ(summary.failures[int(i)].source, path(QString("src/%1").arg(hostile[i].name)));
        EXPECT_EQ(summary.failures[int(i)].reason, hostile[i].reason);
    }
    // Each other item written whole, and nothing else in the destination.
    QStringList expected;
    for (const auto& h : hostile)
        expected << QString("before-%1").arg(h.name).replace(".png", ".jpg");
    expected << "last.jpg";
    expected.sort();
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    for (const QString& name : expected)
        EXPECT_EQ(readImage(out + "/" + name).width, 40) << name.toStdString();
}

// Cancel is clicked the first time the frame waits for an item's work.
class CancelAtFirstWaitView : public RecordingView {
public:
    explicit CancelAtFirstWaitView(FakeInputs& in) : m_in(in) {}
    void waitUntil(const std::function<bool()>& ready) override
    {
        m_in.cancel = true;
        RecordingView::waitUntil(ready);
    }

private:
    FakeInputs& m_in;
};

TEST_F(HostileItemTest, CancelStopsABatchWhosePictureNeverEnds)
{
    // Small files started together travel in one batch; its first picture spins forever.
    folder("src");
    in.list << path("src/spin.png");
    writeBytes(in.list.last(), "HOSTILE spin\n");
    in.list << image("src/a.png", 40, 30) << image("src/b.png", 40, 30);
    in.destination = folder("out");
    CancelAtFirstWaitView cancelling(in);
    cancelling.answers = {jobs::MessageAnswer::Yes};

    const jobs::JobSummary summary = jobs::ConvertImages(in, cancelling, {1});

    EXPECT_EQ(summary.end, jobs::JobSummary::End::Cancelled);
    EXPECT_EQ(summary.stopped, 3) << "the batch's worker was not stopped";
    EXPECT_EQ(summary.written, 0);
    EXPECT_TRUE(QDir(path("out")).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// A worker that finishes takes the next item while the other is still busy: an item queued
// then must not wait for the busy one (it did, and only one worker was used after the first
// items).
TEST_F(HostileItemTest, AnItemStartedWhileOneWorkerIsBusyGoesToTheFreeOne)
{
    folder("src");
    const QString spin = path("src/spin.png");
    writeBytes(spin, "HOSTILE spin\n");
    const QString a = image("src/a.png", 40, 30), b = image("src/b.png", 40, 30);
    imageservice::ImageProcess process;
    jobs::ItemPipeline pipeline(process, 2);
    constexpr std::uint64_t kLarge = 1 << 20;  // each travels alone
    // The waits end after a minute, so that a fault fails the test instead of hanging it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    std::promise<void> over;
    std::thread watchdog([&pipeline, deadline, ended = over.get_future()] {
        if (ended.wait_until(deadline) == std::future_status::timeout)
            pipeline.wake();
    });
    auto finishes = [&](const std::shared_ptr<jobs::ItemWork>& work) {
        jobs::waitWithEvents([&] { return work->done.load() || std::chrono::steady_clock::now() > deadline; });
        return work->done.load();
    };

    pipeline.start(0, spin, {}, kLarge);
    pipeline.start(1, a, {}, kLarge);
    EXPECT_TRUE(finishes(pipeline.find(1)));
    pipeline.start(2, b, {}, kLarge);
    EXPECT_TRUE(finishes(pipeline.find(2))) << "the item waited for the busy worker";
    EXPECT_TRUE(pipeline.find(2)->outcome) << pipeline.find(2)->outcome.reason;
    EXPECT_FALSE(pipeline.find(0)->done.load());
    over.set_value();
    watchdog.join();

    pipeline.discardAll();
    jobs::waitWithEvents([&] { return pipeline.idle(); });
}

}  // namespace
}  // namespace quarbel::testing
