// The window as a person meets it while previews decode, measured through the X server:
// how long a click on an option control takes to show while a large picture's preview
// decodes, and the window process's own peak memory (VmHWM) after six large previews and
// after a run in the same window. Run by hand, under Xvfb or on a desktop:
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/window_bench [FOLDER]
//
// FOLDER holds the pictures to preview (their names in order); when it is missing or empty,
// six 12000 x 8000 PNGs of noise are made there, or in a temporary folder (about a minute).
//
// Measured 2026-12-08 on this machine (2 cores; previews decoded in workers; the driver's
// clicks and screenshots cost 200-250 ms themselves, hence the second figure):
// - load 2.5: a click showed after 241-265 ms while a 12000 x 8000 preview decoded, against
//   214-254 ms for the same click with nothing decoding; before workers the window's thread
//   was busy for 2.0 s a picture, and the click waited for it;
// - the window's own peak: 70 MB after the six previews, 111 MB after converting them to JPG
//   in the same window (before workers: 318 and 343 MB; with workers but the job reading
//   each file into the program's memory first, 640 MB after the run).

#include "../tests/e2e/support/RealWindow.h"
#include "../tests/e2e/support/WindowE2E.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace quarbel;

namespace {

long peakKilobytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

void makeNoise(const QString& folder, int count)
{
    QImage noise(12000, 8000, QImage::Format_RGB888);
    auto* random = QRandomGenerator::global();
    for (int i = 0; i < count; ++i) {
        for (int y = 0; y < noise.height(); ++y) {
            uchar* row = noise.scanLine(y);
            for (int x = 0; x < noise.width() * 3; ++x)
                row[x] = uchar(((x / 3 + y) >> 4) * 17 + (random->generate() & 31) + i * 40);
        }
        QImageWriter writer(QDir(folder).filePath(QStringLiteral("p%1.png").arg(i)));
        writer.setCompression(1);
        writer.write(noise);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    e2e::ensureApplication();
    QTemporaryDir made;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : made.filePath("pictures");
    if (QDir(folder).isEmpty()) {
        QDir().mkpath(folder);
        std::printf("making six 12000 x 8000 pictures...\n");
        makeNoise(folder, 6);
    }
    const QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
    const int count = int(names.size());

    e2e::RealWindow window;
    if (!window.started())
        return 1;
    const qint64 pid = window.program().process().processId();
    const QPoint previewCentre = e2e::placeOf("Picture1").center();
    const auto preview = [&] { return window.screenshot().pixelColor(previewCentre); };
    const QColor empty = preview();

    // Each picture added with the Source button (Single mode), which previews it; while it
    // decodes, a click on an option, until it shows.
    std::vector<qint64> clicks, idleClicks;
    // Resize clicked while the picture decodes, Convert once it is shown.
    for (int i = 0; i < count; ++i) {
        if (!window.typeIntoDialogOf("ThemedButton1", QDir(folder).filePath(names[i])))
            return 1;
        const QString option = QStringLiteral("RadioButton2");
        const QImage before = window.screenshot().copy(e2e::placeOf(option));
        QElapsedTimer clock;
        clock.start();
        window.click(option);
        e2e::waitUntil([&] { return window.screenshot().copy(e2e::placeOf(option)) != before; }, 10000);
        clicks.push_back(clock.elapsed());
        e2e::waitUntil([&] { return preview() != empty; }, 60000);
        // The same click with nothing decoding: what the driver and the server cost.
        const QString other = QStringLiteral("RadioButton1");
        const QImage idle = window.screenshot().copy(e2e::placeOf(other));
        clock.restart();
        window.click(other);
        e2e::waitUntil([&] { return window.screenshot().copy(e2e::placeOf(other)) != idle; }, 10000);
        idleClicks.push_back(clock.elapsed());
    }
    const long afterPreviews = peakKilobytes(pid);

    QTemporaryDir out;
    window.click("RadioButton1");
    window.typeInto("FlatEdit2", out.path());
    window.click("ThemedButton3");
    e2e::waitUntil([&] { return int(QDir(out.path()).entryList(QDir::Files).size()) >= count; }, 600000);
    const long afterRun = peakKilobytes(pid);

    std::printf("pictures: %d in %s\n", count, qPrintable(folder));
    std::printf("click shown after (ms):");
    for (qint64 ms : clicks)
        std::printf(" %lld", static_cast<long long>(ms));
    std::printf("  (most %lld)\n", static_cast<long long>(*std::max_element(clicks.begin(), clicks.end())));
    std::printf("the same click, nothing decoding (ms):");
    for (qint64 ms : idleClicks)
        std::printf(" %lld", static_cast<long long>(ms));
    std::printf("\n");
    std::printf("window peak after the previews: %ld MB, after the run: %ld MB\n", afterPreviews / 1024,
                afterRun / 1024);
    return 0;
}
