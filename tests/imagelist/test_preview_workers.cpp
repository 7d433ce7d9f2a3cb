// Previews decoded in worker processes: a decoder that crashes or aborts fails that preview
// alone, with its reason, and the next one is decoded by a fresh worker; an answer that does
// not fit what was asked is refused before it becomes a picture.

#include "QtTestApp.h"
#include "imagelist/PreviewWorkers.h"
#include "jobs/WorkerSettings.h"
#include "jobs/imageservice/ImageService.h"
#include "jobs/worker/PreviewRequest.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cstring>

namespace quarbel::imagelist {
namespace {

namespace worker = jobs::worker;

const QSize box(185, 169);

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return file.fileName();
}

TEST(PreviewWorkers, AMisbehavingDecoderFailsThatPreviewAloneWithItsReason)
{
    test::ensureApp();
    QTemporaryDir dir;
    QImage image(300, 100, QImage::Format_RGB32);
    image.fill(Qt::green);
    const QString good = dir.filePath("good.png");
    ASSERT_TRUE(image.save(good));

    platform::sandbox::WorkerOptions options = jobs::previewWorkerOptions();
    options.program = QUARBEL_HOSTILE_WORKER;
    PreviewWorkers workers(options, 1);
    const struct {
        const char* hook;
        QString reason;
    } hostile[] = {
        {"crash", "the picture could not be decoded: the decoder stopped (signal 11)"},
        {"abort", "the picture could not be decoded: the decoder stopped (signal 6)"},
    };
    for (const auto& row : hostile) {
        const QString path = write(dir, QString(row.hook) + ".png", QByteArray("HOSTILE ") + row.hook + "\n");
        const PreviewOutcome failed = workers.decode(path, box);
        EXPECT_FALSE(failed) << row.hook;
        EXPECT_EQ(failed.reason, row.reason);
        EXPECT_FALSE(workers.readSize(path)) << row.hook;
        const PreviewOutcome next = workers.decode(good, box);
        ASSERT_TRUE(next) << "after " << row.hook << ": " << next.reason.toStdString();
        EXPECT_EQ(next->fullSize, QSize(300, 100));
        EXPECT_EQ(next->image.size(), QSize(185, 62));
        EXPECT_EQ(QColor(next->image.pixel(90, 30)), QColor(Qt::green));
    }
    EXPECT_EQ(workers.readSize(good), QSize(300, 100));
}

// The formats that are decoded only in workers are previewed there, with their own size
// from the header first.
TEST(PreviewWorkers, ConfinedOnlyFormatsArePreviewed)
{
    test::ensureApp();
    QTemporaryDir dir;
    const QString svg = write(dir, "drawing.svg",
                              "<svg xmlns='http://www.w3.org/2000/svg' width='400' height='200'>"
                              "<rect width='400' height='200' fill='#0000ff'/></svg>");
    const QString dng = dir.filePath("photo.dng");
    QProcess maker;
    maker.start(QUARBEL_SOURCE_DIR "/scripts/make-dng", {dng, "--size", "96x64", "--preview", "48x32"});
    ASSERT_TRUE(maker.waitForFinished(30000) && maker.exitCode() == 0)
        << maker.readAllStandardError().toStdString();

    PreviewWorkers workers(jobs::previewWorkerOptions(), 1);
    const struct {
        QString path;
        QSize size;
    } rows[] = {{svg, {400, 200}}, {dng, {96, 64}}};
    for (const auto& row : rows) {
        EXPECT_EQ(workers.readSize(row.path), row.size) << row.path.toStdString();
        const PreviewOutcome shown = workers.decode(row.path, box);
        ASSERT_TRUE(shown) << row.path.toStdString() << ": " << shown.reason.toStdString();
        EXPECT_EQ(shown->fullSize, row.size);
        EXPECT_FALSE(shown->image.isNull());
    }
}

// An answer's head: full width and height, width and height, as the worker writes them.
QByteArray answer(std::uint32_t fullW, std::uint32_t fullH, std::uint32_t w, std::uint32_t h,
                  qsizetype pixels)
{
    const std::uint32_t head[4] = {fullW, fullH, w, h};
    QByteArray bytes(reinterpret_cast<const char*>(head), sizeof head);
    return bytes + QByteArray(pixels, '\x7f');
}

TEST(PreviewAnswer, WhatDoesNotFitTheRequestIsRefused)
{
    worker::PreviewRequest picture{worker::PreviewPart::Picture, 0, 1, 100, 80};
    worker::PreviewRequest size{worker::PreviewPart::Size, 0, 1, 0, 0};
    const struct {
        const char* what;
        const worker::PreviewRequest& request;
        QByteArray bytes;
        bool taken;
    } rows[] = {
        {"a picture that fits", picture, answer(1000, 800, 100, 80, 100 * 80 * 3), true},
        {"a size", size, answer(1000, 800, 0, 0, 0), true},
        {"fewer bytes than the head", picture, QByteArray(15, '\0'), false},
        {"pixels missing", picture, answer(1000, 800, 100, 80, 100 * 80 * 3 - 1), false},
        {"pixels to spare", picture, answer(1000, 800, 100, 80, 100 * 80 * 3 + 1), false},
        {"wider than the box", picture, answer(1000, 800, 101, 80, 101 * 80 * 3), false},
        {"larger than the picture", picture, answer(50, 40, 100, 80, 100 * 80 * 3), false},
        {"a picture of nothing", picture, answer(0, 800, 0, 80, 0), false},
        {"a size past int", size, answer(0x80000000u, 800, 0, 0, 0), false},
        {"pixels with a size", size, answer(1000, 800, 1, 1, 3), false},
    };
    for (const auto& row : rows) {
        const auto bytes =
            std::span(reinterpret_cast<const std::uint8_t*>(row.bytes.data()), row.bytes.size());
        EXPECT_EQ(worker::readPreviewAnswer(row.request, bytes).has_value(), row.taken) << row.what;
    }
}

}  // namespace
}  // namespace quarbel::imagelist
