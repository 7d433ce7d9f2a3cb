// preview_bench: how long the window's preview loader takes on the largest pictures, cold
// (nothing remembered: the file is decoded) and cached (the picture the cache remembered),
// for the preview box at a scale of 1 (185 x 169) and of 2 (370 x 338). The file's bytes
// are in the page cache in both cases (one untimed read first). The decode is a worker
// process's (the processor time of this process does not include it).
//
//   preview_bench [--runs N] [--largest K] FILE_OR_FOLDER...
// Folders are searched for accepted pictures; the K largest files are timed (default 8).
// Prints per file and box: the median, fastest and slowest wall time of N runs (default 7)
// in ms, and the median processor time of the process (all threads): with other programs
// sharing the cores, the processor time is the steadier figure.

#include "imagelist/ImageFileCheck.h"
#include "imagelist/PreviewCache.h"
#include "jobs/imageservice/ImageService.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

using namespace quarbel;

namespace {

struct Spread {
    double median, fastest, slowest;
    double cpu;  // median processor time of the whole process (all threads), ms
};

template <typename F>
Spread time(int runs, F&& work)
{
    std::vector<double> ms, cpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        const std::clock_t before = std::clock();
        work();
        cpu.push_back((std::clock() - before) * 1000.0 / CLOCKS_PER_SEC);
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    return {ms[ms.size() / 2], ms.front(), ms.back(), cpu[cpu.size() / 2]};
}

QStringList pictures(const QStringList& arguments)
{
    QStringList found;
    for (const QString& argument : arguments) {
        if (QFileInfo(argument).isDir()) {
            QDirIterator it(argument, QDir::Files,
                            QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
            while (it.hasNext()) {
                const QString path = it.next();
                if (imagelist::ImageFileCheck(path))
                    found << path;
            }
        } else {
            found << argument;
        }
    }
    return found;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    imageservice::initialize();
    QStringList arguments = application.arguments().mid(1);
    int runs = 7, largest = 8;
    for (const char* option : {"--runs", "--largest"}) {
        const qsizetype at = arguments.indexOf(QString::fromLatin1(option));
        if (at < 0 || at + 1 >= arguments.size())
            continue;
        (std::strcmp(option, "--runs") == 0 ? runs : largest) = std::max(1, arguments[at + 1].toInt());
        arguments.remove(at, 2);
    }
    QStringList files = pictures(arguments);
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: preview_bench [--runs N] [--largest K] FILE_OR_FOLDER...\n");
        return 2;
    }
    std::sort(files.begin(), files.end(),
              [](const QString& a, const QString& b) { return QFileInfo(a).size() > QFileInfo(b).size(); });
    files = files.mid(0, largest);

    std::printf("%-14s %10s %6s %8s  %-22s %7s  %-10s\n", "file", "pixels", "MB", "box",
                "cold ms (med min max)", "cpu ms", "cached ms");
    for (const QString& path : files) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            file.readAll();  // into the page cache
        for (const QSize box : {QSize(185, 169), QSize(370, 338)}) {
            std::optional<imagelist::Picture> picture;
            const Spread cold = time(runs, [&] {
                imagelist::PreviewCache cache;
                picture = cache.load(path, box).picture;
            });
            imagelist::PreviewCache cache;
            cache.load(path, box);
            const Spread cached = time(runs, [&] { picture = cache.load(path, box).picture; });
            const QSize full = picture ? picture->fullSize : QSize();
            std::printf("%-14s %10s %6.1f %8s  %6.1f %6.1f %7.1f %7.1f  %9.3f%s\n",
                        qPrintable(QFileInfo(path).fileName()),
                        qPrintable(QStringLiteral("%1x%2").arg(full.width()).arg(full.height())),
                        QFileInfo(path).size() / 1e6,
                        qPrintable(QStringLiteral("%1x%2").arg(box.width()).arg(box.height())), cold.median,
                        cold.fastest, cold.slowest, cold.cpu, cached.median, picture ? "" : "  (no picture)");
        }
    }
    return 0;
}
