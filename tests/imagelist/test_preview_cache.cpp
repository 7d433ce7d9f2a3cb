#include "QtTestApp.h"
#include "imagelist/PreviewCache.h"
#include "imagelist/PreviewPrefetch.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace quarbel::imagelist {
namespace {

const QSize box(185, 169);

// Real files, decoded by the real loader; the decodes are counted.
class CountingCache : public ::testing::Test {
protected:
    PreviewCache::Decoder counted()
    {
        return [this](const QString& path, QSize size, platform::sandbox::Cancellation*) -> PreviewOutcome {
            ++decodes;
            return LoadPictureFile(path, size);
        };
    }
    QString write(const QString& name, QSize size, QColor color)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }
    static void setModified(const QString& path, const QDateTime& when)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    }
    static QRgb centre(const Picture& p) { return p.image.pixel(p.image.width() / 2, p.image.height() / 2); }

    QTemporaryDir dir;
    std::atomic<int> decodes = 0;
};

TEST_F(CountingCache, SecondLoadOfAnUnchangedFileDecodesNothing)
{
    PreviewCache cache(PreviewCache::kDefaultBytes, counted());
    const QString path = write("a.png", {300, 200}, Qt::red);
    const auto first = cache.load(path, box);
    const auto again = cache.load(path, box);
    ASSERT_TRUE(first && again);
    EXPECT_EQ(decodes, 1);
    EXPECT_EQ(again->fullSize, QSize(300, 200));
    EXPECT_EQ(again->image, first->image);

    // another box size (another screen scale) is another picture
    const auto doubled = cache.load(path, box * 2);
    ASSERT_TRUE(doubled);
    EXPECT_EQ(decodes, 2);
    EXPECT_GT(doubled->image.width(), first->image.width());

    // what cannot be decoded is tried again each time
    const QString text = dir.filePath("notes.png");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();
    EXPECT_FALSE(cache.load(text, box));
    EXPECT_FALSE(cache.load(text, box));
    EXPECT_EQ(decodes, 4);
    EXPECT_EQ(cache.count(), 2);
}

TEST_F(CountingCache, ChangedFileIsDecodedAgain)
{
    PreviewCache cache(PreviewCache::kDefaultBytes, counted());
    const QString path = write("a.png", {64, 48}, Qt::red);
    const QDateTime when = QDateTime::currentDateTime().addSecs(-60);
    setModified(path, when);
    ASSERT_TRUE(cache.load(path, box));

    // the same length and another modification time
    write("a.png", {64, 48}, Qt::blue);
    setModified(path, when.addMSecs(1));
    auto changed = cache.load(path, box);
    ASSERT_TRUE(changed);
    EXPECT_EQ(centre(*changed), qRgb(0, 0, 255));
    EXPECT_EQ(decodes, 2);

    // another length, the same modification time
    write("a.png", {96, 48}, Qt::green);
    setModified(path, when.addMSecs(1));
    EXPECT_FALSE(cache.holds(path, box));
    changed = cache.load(path, box);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->fullSize, QSize(96, 48));
    EXPECT_EQ(decodes, 3);

    // gone: nothing, whatever was remembered
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(cache.load(path, box));
    EXPECT_EQ(cache.count(), 1);
}

TEST_F(CountingCache, KeepsTheRecentlyUsedWithinItsBound)
{
    // 100 x 100 RGB pictures take 30000 bytes each: three fit, a fourth does not
    const qsizetype bound = 3 * 30000 + 1000;
    PreviewCache cache(bound, counted());
    const QString a = write("a.png", {100, 100}, Qt::red);
    const QString b = write("b.png", {100, 100}, Qt::green);
    const QString c = write("c.png", {100, 100}, Qt::blue);
    const QString d = write("d.png", {100, 100}, Qt::black);
    for (const QString& path : {a, b, c, a, d})  // a used again: b is the oldest
        ASSERT_TRUE(cache.load(path, {100, 100}));
    EXPECT_EQ(decodes, 4);
    EXPECT_LE(cache.bytes(), bound);
    EXPECT_EQ(cache.count(), 3);
    EXPECT_TRUE(cache.holds(a, {100, 100}));
    EXPECT_FALSE(cache.holds(b, {100, 100}));
    EXPECT_TRUE(cache.holds(c, {100, 100}));
    EXPECT_TRUE(cache.holds(d, {100, 100}));

    // a picture larger than the whole bound is shown but not kept
    const QString big = write("big.png", {400, 400}, Qt::gray);
    EXPECT_TRUE(cache.load(big, {400, 400}));
    EXPECT_FALSE(cache.holds(big, {400, 400}));
    EXPECT_EQ(cache.count(), 3);
}

// Polls until the prefetcher has nothing left, within a bound.
bool settles(const PreviewPrefetcher& prefetcher)
{
    QDeadlineTimer deadline(10000);
    while (!prefetcher.idle() && !deadline.hasExpired())
        QThread::msleep(2);
    return prefetcher.idle();
}

TEST_F(CountingCache, PrefetcherFillsTheCacheAndSkipsWhatItHolds)
{
    auto cache = std::make_shared<PreviewCache>(PreviewCache::kDefaultBytes, counted());
    const QString a = write("a.png", {300, 200}, Qt::red);
    const QString b = write("b.png", {200, 300}, Qt::blue);
    ASSERT_TRUE(cache->load(a, box));
    PreviewPrefetcher prefetcher(cache);
    prefetcher.want({a, b, dir.filePath("missing.png")}, box);
    ASSERT_TRUE(settles(prefetcher));
    EXPECT_TRUE(cache->holds(b, box));
    EXPECT_EQ(decodes, 2);  // a was held already
    ASSERT_TRUE(cache->load(b, box));
    EXPECT_EQ(decodes, 2);
}

TEST_F(CountingCache, DroppedWorkStopsAfterThePictureInHand)
{
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false, released = false;
    auto cache = std::make_shared<PreviewCache>(
        PreviewCache::kDefaultBytes,
        [&](const QString& path, QSize size, platform::sandbox::Cancellation*) -> PreviewOutcome {
            {
                std::unique_lock lock(mutex);
                entered = true;
                changed.notify_all();
                changed.wait(lock, [&] { return released; });
            }
            ++decodes;
            return LoadPictureFile(path, size);
        });
    QStringList paths;
    for (int i = 0; i < 4; ++i)
        paths << write(QString("p%1.png").arg(i), {50, 50}, Qt::red);
    auto prefetcher = std::make_unique<PreviewPrefetcher>(cache);
    prefetcher->want(paths, box);
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [&] { return entered; }));
    }
    prefetcher->drop();
    {
        std::lock_guard lock(mutex);
        released = true;
    }
    changed.notify_all();
    ASSERT_TRUE(settles(*prefetcher));
    prefetcher.reset();
    EXPECT_EQ(decodes, 1);
    EXPECT_TRUE(cache->holds(paths[0], box));
    EXPECT_FALSE(cache->holds(paths[1], box));
}

struct NeighbourCase {
    int row, previous, count;
    QList<int> expected;
};

class NeighbourRows : public ::testing::TestWithParam<NeighbourCase> {};

TEST_P(NeighbourRows, AheadFirstThenBehindThenFurtherAhead)
{
    const NeighbourCase& c = GetParam();
    EXPECT_EQ(neighbourRows(c.row, c.previous, c.count), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, NeighbourRows,
                         ::testing::Values(NeighbourCase{0, -1, 5, {1, 2}},    // first selection after an add
                                           NeighbourCase{2, 1, 5, {3, 1, 4}},  // moving down
                                           NeighbourCase{2, 3, 5, {1, 3, 0}},  // moving up
                                           NeighbourCase{4, 3, 5, {3}},        // the last row
                                           NeighbourCase{1, 2, 5, {0, 2}},     // near the top, moving up
                                           NeighbourCase{0, -1, 1, {}},        // a single row
                                           NeighbourCase{-1, 0, 5, {}},        // no current row
                                           NeighbourCase{5, 4, 5, {}}));       // outside the list

}  // namespace
}  // namespace quarbel::imagelist
