// Small items that travel to a worker together: each one ends as it would alone. A picture
// that kills the worker or fails in a batch fails only itself, with the reason it gives alone;
// the batch's other outputs are the very bytes each gives alone.

#include "TestImages.h"
#include "jobs/ItemWork.h"
#include "jobs/WorkerSettings.h"
#include "jobs/worker/ItemRequest.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace quarbel::testing {
namespace {

namespace is = quarbel::imageservice;
namespace sandbox = quarbel::platform::sandbox;

std::string jpegRequest()
{
    is::ImageProcess process;
    process.Filters().Add(process.FilterInfos("Convert").FilterID());
    process.Filters()(1).Properties("FormatID").Value = std::string(is::FormatID::JPEG);
    process.Filters()(1).Properties("Quality").Value = 75LL;
    return jobs::worker::requestToText(jobs::worker::requestFor(process));
}

std::vector<std::uint8_t> bytesOf(const QByteArray& bytes) { return {bytes.begin(), bytes.end()}; }

class ItemBatchTest : public ::testing::Test, public TempTree {
protected:
    void SetUp() override
    {
        jobs::setWorkerProgram(QUARBEL_HOSTILE_WORKER);
        m_workers = std::make_unique<sandbox::WorkerPool>(jobs::jobWorkerOptions(), 1);
    }
    void TearDown() override { jobs::setWorkerProgram(""); }

    // Items of these sources, worked together in one batch.
    std::vector<std::shared_ptr<jobs::ItemWork>> together(const std::vector<QByteArray>& sources)
    {
        std::vector<jobs::ItemSource> items;
        for (const QByteArray& source : sources)
            items.push_back({std::make_shared<jobs::ItemWork>(), bytesOf(source)});
        sandbox::Cancellation stop;
        jobs::workTogether(*m_workers, m_request, items, stop);
        std::vector<std::shared_ptr<jobs::ItemWork>> works;
        for (const auto& item : items)
            works.push_back(item.item);
        return works;
    }
    // An item's output as saved.
    QByteArray outputOf(const jobs::ItemWork& item)
    {
        const QString file = path("output");
        QFile::remove(file);
        return item.result.SaveFile(QFile::encodeName(file).toStdString()) ? readBytes(file) : QByteArray();
    }
    std::shared_ptr<jobs::ItemWork> alone(const QByteArray& source)
    {
        auto item = std::make_shared<jobs::ItemWork>();
        jobs::workAlone(*m_workers, m_request, *item, bytesOf(source));
        return item;
    }

    const std::string m_request = jpegRequest();
    std::unique_ptr<sandbox::WorkerPool> m_workers;
};

TEST_F(ItemBatchTest, AHostileItemFailsAloneWithItsReasonAndTheOthersAreWorked)
{
    const QString out = folder("out");
    const struct {
        QByteArray hook;
        std::string reason;
    } cases[] = {
        {"crash", "the picture could not be decoded: the decoder stopped (signal 11)"},
        {"abort", "the picture could not be decoded: the decoder stopped (signal 6)"},
        {"write " + QFile::encodeName(out + "/write.jpg"), "refused: Operation not permitted"},
    };
    const QByteArray first = readBytes(image("a.png", 40, 30));
    const QByteArray last = readBytes(image("b.bmp", 20, 10));
    for (const auto& c : cases) {
        const auto works = together({first, "HOSTILE " + c.hook + "\n", last});
        ASSERT_EQ(works.size(), 3u);
        EXPECT_FALSE(works[1]->outcome) << c.hook.toStdString();
        EXPECT_EQ(works[1]->outcome.reason, c.reason);
        for (const auto& good : {works[0], works[2]}) {
            ASSERT_TRUE(good->outcome) << good->outcome.reason;
            writeBytes(path("good.jpg"), outputOf(*good));
            EXPECT_EQ(readImage(path("good.jpg")).kind, Kind::Jpeg);
        }
        EXPECT_EQ(readImage(path("good.jpg")).width, 20) << "the last item's own output";
    }
    EXPECT_TRUE(QDir(out).isEmpty());
}

TEST_F(ItemBatchTest, BatchedOutputsAreTheBytesOfItemsWorkedAlone)
{
    const std::vector<QByteArray> sources = {
        readBytes(image("a.png", 64, 64)), readBytes(image("b.jpg", 48, 32)),
        readBytes(image("c.gif", 30, 50)), readBytes(image("d.bmp", 17, 9)),
        readBytes(image("e.tif", 64, 40)), "not a picture"};
    const auto works = together(sources);
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const auto single = alone(sources[i]);
        EXPECT_EQ(works[i]->outcome.ok, single->outcome.ok) << i;
        EXPECT_EQ(works[i]->outcome.reason, single->outcome.reason) << i;
        EXPECT_EQ(outputOf(*works[i]), outputOf(*single)) << i;
    }
    EXPECT_EQ(works.back()->outcome.reason, "not a supported image format");
}

}  // namespace
}  // namespace quarbel::testing
