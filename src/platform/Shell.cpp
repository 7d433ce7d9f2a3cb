#include "platform/Shell.h"

#include <QDesktopServices>

namespace quarbel::platform {

bool QtShell::openUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

bool QtShell::openFolder(const QString& folder)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

}  // namespace quarbel::platform
