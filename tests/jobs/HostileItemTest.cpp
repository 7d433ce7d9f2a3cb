// A picture whose decoding takes over or kills its worker process fails that item only: the
// frame lists it with the reason, writes every other item as usual, and the picture's
// attempts change no file.

#include "JobTestBase.h"
#include "jobs/WorkerSettings.h"

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

}  // namespace
}  // namespace quarbel::testing
