// quarbel-gallery: every owned control in every style, or one control rendered to a PNG.

#include "gallery/GalleryWindow.h"
#include "gallery/RenderCommand.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    using namespace quarbel::gallery;
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const Command cmd = parseCommandLine(args);
    switch (cmd.mode) {
    case Mode::Error:
        std::fprintf(stderr, "quarbel-gallery: %s\n%s", qPrintable(cmd.error), qPrintable(usage()));
        return ExitUsage;
    case Mode::Help: std::fputs(qPrintable(usage()), stdout); return ExitOk;
    case Mode::Version: std::fputs(qPrintable(versionText()), stdout); return ExitOk;
    case Mode::Render: {
        // Rendering never needs a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int qtArgc = 1;
        QApplication app(qtArgc, argv);
        const RenderOutcome outcome = runRender(cmd.render);
        std::fprintf(outcome.exitCode == ExitOk ? stdout : stderr, "%s%s\n",
                     outcome.exitCode == ExitOk ? "" : "quarbel-gallery: ", qPrintable(outcome.message));
        return outcome.exitCode;
    }
    case Mode::Window: break;
    }
    QApplication app(argc, argv);
    GalleryWindow window;
    window.show();
    return app.exec();
}
