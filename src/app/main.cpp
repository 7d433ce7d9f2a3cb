// quarbel: the Quarbel Image Converter window.

#include "app/Form3.h"
#include "app/ResourceFiles.h"
#include "app/SingleInstance.h"
#include "jobs/WorkerSettings.h"
#include "jobs/imageservice/ImageService.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    // Pictures are decoded in worker processes; the few libvips modules this process may
    // still use are loaded when first needed, not all as it starts.
    quarbel::imageservice::loadModulesWhenNeeded();
    // The preview and job workers are copied from a zygote, itself a copy of this program
    // made now, while it has one thread and no window.
    quarbel::jobs::startWorkerZygote();
    QApplication application(argc, argv);
    quarbel::app::initResources();
    QApplication::setApplicationName(QStringLiteral("quarbel"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quarbel/quarbel.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("quarbel"));

    quarbel::platform::PlatformServices services = quarbel::platform::PlatformServices::qt();
    quarbel::platform::FileInstanceLock lock;
    if (!quarbel::app::claimSingleInstance(lock, *services.messages))
        return 0;

    quarbel::app::Form3 window(services);
    window.show();
    return application.exec();
}
