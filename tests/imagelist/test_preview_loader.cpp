// The loader behind the window's preview: the size comes before the picture, and a newer
// request stops the older decode, whose picture is never told.

#include "QtTestApp.h"
#include "imagelist/PreviewLoader.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

namespace quarbel::imagelist {
namespace {

TEST(PreviewLoader, ANewerRequestStopsTheOlderDecodeAndOnlyItsPictureIsTold)
{
    test::ensureApp();
    QTemporaryDir dir;
    QStringList paths;
    for (const char* name : {"slow.png", "quick.png"}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("x") == 1);  // only its stamp matters
        paths << file.fileName();
    }
    std::atomic<bool> slowStarted = false, slowStopped = false;
    // The slow picture's decode ends only when it is stopped, as a killed worker's does.
    auto cache = std::make_shared<PreviewCache>(
        PreviewCache::kDefaultBytes,
        [&](const QString& path, QSize, platform::sandbox::Cancellation* cancel) {
            if (path.endsWith("quick.png"))
                return PreviewOutcome(Picture{QImage(20, 10, QImage::Format_RGB888), QSize(200, 100)});
            slowStarted = true;
            while (!cancel->cancelled())
                std::this_thread::yield();
            slowStopped = true;
            return PreviewOutcome::failure("cancelled");
        });
    QStringList told;
    PreviewEvents events;
    events.sizeRead = [&](QSize s) { told << QStringLiteral("size %1x%2").arg(s.width()).arg(s.height()); };
    events.shown = [&](const Picture& p) { told << QStringLiteral("shown %1").arg(p.fullSize.width()); };
    events.failed = [&](const QString& why) { told << "failed " + why; };
    const auto sizes = [](const QString& path, platform::sandbox::Cancellation*) {
        return std::optional(path.endsWith("quick.png") ? QSize(200, 100) : QSize(9000, 6000));
    };
    PreviewLoader loader(cache, events, sizes);

    loader.request(paths[0], {185, 169});
    QDeadlineTimer deadline(10000);
    while (!slowStarted && !deadline.hasExpired())
        std::this_thread::yield();
    ASSERT_TRUE(slowStarted);
    EXPECT_EQ(loader.waitForSize(std::chrono::seconds(5)), QSize(9000, 6000));

    loader.request(paths[1], {185, 169});
    EXPECT_EQ(loader.waitForSize(std::chrono::seconds(5)), QSize(200, 100));
    while (!loader.idle() && !deadline.hasExpired())
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(slowStopped);
    EXPECT_EQ(told, (QStringList{"size 200x100", "shown 200"}));
}

}  // namespace
}  // namespace quarbel::imagelist
