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

}  // namespace
}  // namespace quarbel::testing
